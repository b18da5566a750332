// korvane-bare-window: the yardstick for the window's start-up time. A bare Qt window with a tab
// control of four empty pages, shown and closed at once, started the same way korvane-bench
// starts `korvane --no-splash --exit-after-load`.

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTabWidget tabs;
    for (int i = 1; i <= 4; ++i)
        tabs.addTab(new QWidget, QStringLiteral("Page %1").arg(i));
    tabs.resize(1000, 600);
    tabs.show();
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
