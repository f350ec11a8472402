#include "aboutbox3.h"
#include "ui_aboutbox3.h"

#include "platform/urlopener.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#ifndef KV_VERSION
#define KV_VERSION ""
#endif
#ifndef KV_BUILD
#define KV_BUILD ""
#endif

namespace {

const QString kLoopText = QStringLiteral(
    "Glimra zeigt Ihre Bilder, Tessik bearbeitet sie. Miniaturen, Diashow, Druck, Effekte und "
    "Anmerkungen \u2013 alles in einem Paket.   \u2022   ");

QPixmap drawing(const QString& resource, int edge)
{
    QPixmap pixmap(edge, edge);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

}  // namespace

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

TAboutBox3::TAboutBox3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TAboutBox3>())
{
    ui->setupUi(this);
    initIconResources();
    QFont title = ui->lbTitel->font();
    title.setPointSizeF(title.pointSizeF() * 1.8);
    title.setBold(true);
    ui->lbTitel->setFont(title);
    const int edge = fontMetrics().height() * 4;
    ui->imBetrachter->setPixmap(drawing(QStringLiteral(":/icons/glimra.svg"), edge));
    ui->imEditor->setPixmap(drawing(QStringLiteral(":/icons/tessik.svg"), edge));
    // each label keeps its design text when the build gives no value
    if (!productVersion().isEmpty())
        ui->lbVersion->setText("Version: " + productVersion());
    if (!buildVersion().isEmpty())
        ui->lbBuild->setText("Build: " + buildVersion());
    ui->lbRechte->setText(QStringLiteral("\u00A9 Korvane-Projekt. Alle Rechte vorbehalten."));
    // the looping line takes the width the others give it
    ui->lbLauftext->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (QLabel* line : {ui->lbMail, ui->lbWeb, ui->lbNews}) {
        line->installEventFilter(this);
        QFont f = line->font();
        f.setUnderline(true);
        line->setFont(f);
        line->setStyleSheet(QStringLiteral("color: #0000c8"));
    }
    connect(ui->btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(&scroll_, &QTimer::timeout, this, &TAboutBox3::scrollStep);
    scrollStep();
}

TAboutBox3::~TAboutBox3() = default;

QString TAboutBox3::productVersion()
{
    return QStringLiteral(KV_VERSION);
}

QString TAboutBox3::buildVersion()
{
    return QStringLiteral(KV_BUILD);
}

QUrl TAboutBox3::addressOf(const QString& line)
{
    if (line == "lbMail")
        return QUrl(QStringLiteral("mailto:info@example.invalid"));
    if (line == "lbWeb")
        return QUrl(QStringLiteral("https://www.example.invalid/"));
    if (line == "lbNews")
        return QUrl(QStringLiteral("https://www.example.invalid/neu"));
    return {};
}

bool TAboutBox3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const QUrl url = addressOf(watched->objectName());
        if (url.isValid()) {
            urlopener::open(url);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox3::scrollStep()
{
    offset_ = (offset_ + 1) % int(kLoopText.size());
    ui->lbLauftext->setText(scrolledText());
}

QString TAboutBox3::scrolledText() const
{
    return (kLoopText.mid(offset_) + kLoopText.left(offset_));
}

void TAboutBox3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    scroll_.start(150);
}

void TAboutBox3::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    scroll_.stop();
}
