// The least any Qt Widgets program can do: show one empty dialog. The yardstick for how
// fast tintara comes up and how much memory it holds.
#include <QApplication>
#include <QDialog>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare"));
    dialog.resize(543, 332);
    dialog.show();
    return application.exec();
}
