#include "messagebox.h"

#include <QAbstractButton>

namespace {
MessageBox::Script& script()
{
    static MessageBox::Script s;
    return s;
}
}  // namespace

void MessageBox::setScript(Script s)
{
    script() = std::move(s);
}

QString MessageBox::germanButtonText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Cancel: return QStringLiteral("Abbrechen");
    case QMessageBox::Yes: return QStringLiteral("Ja");
    case QMessageBox::No: return QStringLiteral("Nein");
    case QMessageBox::YesToAll: return QStringLiteral("Ja, alle");
    case QMessageBox::NoToAll: return QStringLiteral("Nein, keine");
    case QMessageBox::Abort: return QStringLiteral("Abbrechen");
    case QMessageBox::Retry: return QStringLiteral("Wiederholen");
    case QMessageBox::Ignore: return QStringLiteral("Ignorieren");
    case QMessageBox::Close: return QStringLiteral("Schließen");
    default: return {};
    }
}

QMessageBox::StandardButton MessageBox::show(QWidget* owner, QMessageBox::Icon icon,
                                             const QString& caption, const QString& text,
                                             QMessageBox::StandardButtons buttons)
{
    if (script())
        return script()(Request{icon, caption, text, buttons});
    QMessageBox box(icon, caption, text, buttons, owner);
    for (QAbstractButton* b : box.buttons()) {
        const QString german = germanButtonText(box.standardButton(b));
        if (!german.isEmpty())
            b->setText(german);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::information(QWidget* owner, const QString& caption, const QString& text)
{
    show(owner, QMessageBox::Information, caption, text);
}

void MessageBox::warning(QWidget* owner, const QString& caption, const QString& text)
{
    show(owner, QMessageBox::Warning, caption, text);
}

bool MessageBox::question(QWidget* owner, const QString& caption, const QString& text)
{
    return show(owner, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}
