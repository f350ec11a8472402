#include "pdfprobe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace pdfprobe {

namespace {
QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}
}  // namespace

Info info(const QString& pdf)
{
    Info result;
    const QString out = QString::fromUtf8(run("pdfinfo", {pdf}));
    const auto pages = QRegularExpression(R"(Pages:\s+(\d+))").match(out);
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(out);
    if (pages.hasMatch() && size.hasMatch()) {
        result.pages = pages.captured(1).toInt();
        result.pagePoints = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    }
    return result;
}

QImage page(const QString& pdf, int number, int dpi)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath("page");
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(number), "-l",
                     QString::number(number), "-singlefile", pdf, stem});
    return QImage(stem + ".png");
}

QString text(const QString& pdf)
{
    return QString::fromUtf8(run("pdftotext", {pdf, "-"}));
}

QRect inkBox(const QImage& image, QRect area, int threshold)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (area.isEmpty())
        area = rgb.rect();
    area &= rgb.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = line[x];
            if (qRed(c) < threshold || qGreen(c) < threshold || qBlue(c) < threshold)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

}  // namespace pdfprobe
