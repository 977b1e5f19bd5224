// The baseline of the start-up benchmark: the smallest Qt Widgets program that shows a window,
// timed the same way as bvconfig (see bench/bench_startup/run).

#include "toolkit/startup_probe.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window("Hello");
    window.resize(801, 638);
    bv::gui::ReportFirstPaint(&window);
    window.show();
    return app.exec();
}
