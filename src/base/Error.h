#pragma once
// The one exception type of the program: a database or file failure carrying
// the text the user is shown (the server's own message for database errors).
#include <QString>
#include <stdexcept>

namespace qo {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message, unsigned code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    QString message() const { return m_message; }
    unsigned code() const { return m_code; } // server error number, 0 when not from the server
private:
    QString m_message;
    unsigned m_code;
};

// "Hiba: " + message, unless the message already says so (file failures of
// the save helper do).
inline QString ErrorText(const QString &message)
{
    return message.startsWith(QLatin1String("Hiba: ")) ? message : QStringLiteral("Hiba: ") + message;
}

} // namespace qo
