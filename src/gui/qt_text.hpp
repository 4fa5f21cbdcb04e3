#pragma once
// The program's texts are UTF-8 with CR LF line ends (files in other
// encodings are converted where they are read and written); Qt's are Unicode
// with LF.

#include <QString>
#include <string>
#include <string_view>

namespace quarnex {

// For showing: CR LF becomes a line break.
QString ToQt(std::string_view text);
// From what the user typed: line breaks become CR LF.
std::string FromQt(const QString& text);

}  // namespace quarnex
