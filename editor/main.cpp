#include "editorlistener.h"
#include "kvnpictureedit.h"

#include "platform/translations.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    translations::installGerman(app);
    const QStringList args = app.arguments();
    const QString path = args.value(1);
    const int page = args.value(2).toInt();
    TKvnPictureEdit window(path, page);
    EditorListener listener(&window);
    window.show();
    return app.exec();
}
