#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Velmora"));
    window.setWindowTitle(QStringLiteral("Velmora"));
    window.resize(722, 438);
    window.show();
    return app.exec();
}
