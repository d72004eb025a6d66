// Converts workbooks through the conversion page offscreen, with the real office,
// CUPS queue and Ghostscript, and reports how late a 10 ms timer of the window
// thread ran meanwhile: the longest stall of the window during a conversion.
//   orvik_bench_ui_latency OUTPUT_FOLDER WORKBOOK...
#include "app/PromptSeam.h"
#include "automation/OfficeServer.h"
#include "convert_page/ConvertDlg.h"
#include "framework/MainWnd.h"
#include "skin/TahomaFace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTickMs = 10;

// Lateness of each tick of a 10 ms timer, in milliseconds.
class StallMeter {
public:
    StallMeter()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.setTimerType(Qt::PreciseTimer);
    }
    void Start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start(kTickMs);
    }
    void Stop() { m_timer.stop(); }
    void Report() const
    {
        if (m_late.empty())
            return;
        std::vector<double> sorted = m_late;
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double q) { return sorted[size_t(q * double(sorted.size() - 1))]; };
        std::printf("ticks: %zu\nlateness median: %.1f ms, 99th percentile: %.1f ms, longest stall: %.1f ms\n",
                    sorted.size(), at(0.5), at(0.99), sorted.back());
    }

private:
    void Tick()
    {
        const double now = double(m_clock.nsecsElapsed()) / 1e6;
        m_late.push_back(std::max(0.0, now - m_last - kTickMs));
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0;
    std::vector<double> m_late;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: orvik_bench_ui_latency OUTPUT_FOLDER WORKBOOK...\n");
        return 2;
    }
    InstallTahomaFace();
    RegisterOfficeServer();
    CPromptSeam answers; // every question gets its default answer (replace: Yes)

    QWidget host;
    host.resize(700, 522);
    AfxSetMainWnd(&host);
    auto page = std::make_unique<CConvertDlg>();
    page->Create(CConvertDlg::IDD, &host);
    host.show();
    for (const QString& workbook : args.mid(1))
        page->m_lbFiles.AddString(workbook);
    page->SetDlgItemText(1017, args.first());

    StallMeter meter;
    QElapsedTimer total;
    total.start();
    meter.Start();
    page->OnBtnConvert();
    while (page->IsConverting())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    meter.Stop();
    std::printf("workbooks: %lld, status: %s, time: %.2f s\n", static_cast<long long>(args.size() - 1),
                qPrintable(page->m_edStatus.text()), double(total.elapsed()) / 1000.0);
    meter.Report();
    page.reset();
    AfxSetMainWnd(nullptr);
    return 0;
}
