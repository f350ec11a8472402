#include "hlpdlg.h"
#include "ui_hlpdlg.h"

#include "rtfreader.h"

#include "platform/paths.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

THlpDlg::THlpDlg(const QString& helpFile, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowMaximizeButtonHint
                          | Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::THlpDlg>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    const RtfReader::Result r = RtfReader::readFile(helpFile, *ui->RichEdit1->document());
    error_ = r.error;
    markLinks();
    ui->RichEdit1->moveCursor(QTextCursor::Start);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

THlpDlg::~THlpDlg() = default;

QTextBrowser* THlpDlg::view() const
{
    return ui->RichEdit1;
}

QString THlpDlg::defaultHelpFile()
{
    return paths::programFolder() + QStringLiteral("hilfe.rtf");
}

void THlpDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        deleteLater();   // hidden is gone: the next F1 makes it anew
}

// Web and mail addresses in the text become links.
void THlpDlg::markLinks()
{
    static const QRegularExpression address(QStringLiteral(R"((https?://|mailto:)[^\s<>"]+)"));
    QTextDocument* doc = ui->RichEdit1->document();
    QTextCursor found = doc->find(address);
    while (!found.isNull()) {
        QTextCharFormat f = found.charFormat();
        f.setAnchor(true);
        f.setAnchorHref(found.selectedText());
        f.setFontUnderline(true);
        f.setForeground(QColor(0, 0, 200));
        found.mergeCharFormat(f);
        found = doc->find(address, found);
    }
}
