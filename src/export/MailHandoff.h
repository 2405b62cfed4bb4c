#pragma once
// Hands a file to the desktop's mail program as the attachment of a new
// message the user edits and sends (xdg-email on Linux).
#include <QString>

namespace qo {

struct MailResult {
    int code = 0;    // 0 handed over; -1 no mail handler found; else the handler's exit code
    QString failure; // what to tell the user when code != 0
};

// recipient / recipientName are optional ("Name <address>" when both are
// given). The message opens for editing; nothing is sent without the user.
MailResult SendMailWithAttachment(const QString &subject, const QString &body, const QString &attachment,
                                  const QString &recipient = {}, const QString &recipientName = {});

// The command used to hand mail over; "xdg-email" unless a test sets another.
QString MailCommand();
void setMailCommandForTests(const QString &command);

} // namespace qo
