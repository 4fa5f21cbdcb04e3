#include "gui/qt_text.hpp"

namespace quarnex {

QString ToQt(std::string_view text) {
    QString result = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::string FromQt(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QChar(0x2029), QChar('\n'));  // paragraph ends of rich text boxes
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    std::string result;
    result.reserve(static_cast<std::size_t>(lines.size()));
    for (const QChar c : lines) {
        result.push_back(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?');
    }
    return result;
}

}  // namespace quarnex
