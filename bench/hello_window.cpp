// The reference for the start-up benchmark: the smallest Qt program that
// shows a dialog, built with the same toolchain and libraries.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Hello"));
    QLabel label(QStringLiteral("Hello"), &dialog);
    dialog.resize(300, 200);
    dialog.show();
    return application.exec();
}
