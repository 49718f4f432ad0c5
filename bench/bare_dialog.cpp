// The least any Qt Widgets program can do: show one empty dialog. The yardstick for how
// fast tintara comes up and how much memory it holds. With --text the dialog also shows one
// line of text, the least a program that shows any words can do.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare"));
    dialog.resize(543, 332);
    if (application.arguments().contains(QStringLiteral("--text")))
        (new QLabel(QStringLiteral("Tintara"), &dialog))->move(20, 20);
    dialog.show();
    return application.exec();
}
