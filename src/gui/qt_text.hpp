#pragma once
// The program's texts are 8-bit with CR LF line ends; Qt's are Unicode with
// LF. These convert between the two so that every byte survives a round trip.

#include <QString>
#include <string>
#include <string_view>

namespace quarnex {

// For showing: CR LF becomes a line break.
QString ToQt(std::string_view text);
// From what the user typed: line breaks become CR LF; characters outside the
// 8-bit range become "?".
std::string FromQt(const QString& text);

}  // namespace quarnex
