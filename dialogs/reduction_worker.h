// Colour reductions for the Decrease Color Depth dialog's preview, made on a thread of their own so
// that the dialog stays responsive: the dialog says which reductions it wants, most wanted first,
// and takes each result as it comes. Results are exact: a part of the image comes out as it does in
// the whole, and the whole as the document will take it.
#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "document/colour_reduction.h"
#include "document/plugin_library.h"

// The image reduced, which stays unchanged while the worker exists.
struct ReductionImage {
    const BITMAPINFOHEADER* header = nullptr;  // 8 bits: the block with its colour table
    const uint8_t* bits = nullptr;
    const uint8_t* entryAlpha = nullptr;
};

// One reduction: the whole image (rowCount 0) or rows firstRow.. counted from the top, with a
// label of the caller's own.
struct ReductionTask {
    ReductionChoice choice;
    int firstRow = 0;
    int rowCount = 0;
    int label = 0;

    bool Whole() const { return rowCount == 0; }
    bool operator==(const ReductionTask&) const = default;
};

struct ReductionOutcome {
    ReductionTask task;
    ReductionResult result = ReductionResult::Refused;
    CReducedImage image;  // when result is Ok
    double psnr = 0;      // for a whole image: its PSNR against the original, in dB
};

class CReductionWorker : public QObject {
    Q_OBJECT

public:
    explicit CReductionWorker(const ReductionImage& image, QObject* parent = nullptr);
    ~CReductionWorker() override;

    // Why no reduction can be made (the library is missing or lacks ReduceColours); empty when
    // the worker runs.
    const QString& Unavailable() const { return m_unavailable; }

    // The reductions to make, most wanted first, in place of those not begun yet; the one under
    // way is stopped unless it is among them.
    void Want(std::vector<ReductionTask> tasks);
    // The reductions finished since the last call, in the order they finished.
    std::vector<ReductionOutcome> TakeOutcomes();
    // How far the reduction under way has come, in percent.
    int RunningPercent() const { return m_percent.load(); }

signals:
    // Emitted on the worker's thread whenever outcomes are waiting; connected queued.
    void OutcomesReady();

private:
    void Loop();
    ReductionOutcome Make(const ReductionTask& task);

    ReductionImage m_image;
    CPluginLibrary m_library;
    QuantzReduce m_reduce = nullptr;
    QString m_unavailable;
    // The palette step of each median-cut and octree count, for the worker thread alone.
    std::map<std::pair<int, int>, QuantzPalettePlan> m_plans;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<ReductionTask> m_queue;
    std::optional<ReductionTask> m_running;
    std::vector<ReductionOutcome> m_outbox;
    bool m_quit = false;
    std::atomic<bool> m_stopRunning{false};
    std::atomic<int> m_percent{0};
    std::thread m_thread;
};
