#include "gui/qt_text.hpp"

namespace quarnex {

QString ToQt(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::string FromQt(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QChar(0x2029), QChar('\n'));  // paragraph ends of rich text boxes
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return lines.toStdString();
}

}  // namespace quarnex
