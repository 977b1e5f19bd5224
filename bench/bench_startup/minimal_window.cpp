// The baseline of the start-up benchmark: the smallest Qt Widgets program that shows a window,
// timed the same way as bvconfig (see bench/bench_startup/run).

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

class FirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("shown %lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window("Hello");
    window.resize(801, 638);
    window.installEventFilter(new FirstPaint(&window));
    window.show();
    return app.exec();
}
