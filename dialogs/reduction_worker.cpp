#include "dialogs/reduction_worker.h"

#include <algorithm>

#include "app/messages.h"

CReductionWorker::CReductionWorker(const ReductionImage& image, QObject* parent)
    : QObject(parent), m_image(image), m_library(kColourLibrary) {
    m_unavailable = MissingExportText(m_library, kColourLibrary, "ReduceColours");
    if (!m_unavailable.isEmpty()) return;
    m_reduce = m_library.Symbol<QuantzReduce>("ReduceColours");
    m_thread = std::thread([this] { Loop(); });
}

CReductionWorker::~CReductionWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_queue.clear();
        m_stopRunning = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CReductionWorker::Want(std::vector<ReductionTask> tasks) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_running) {
            const auto same = std::find(tasks.begin(), tasks.end(), *m_running);
            if (same == tasks.end())
                m_stopRunning = true;
            else
                tasks.erase(same);
        }
        m_queue = std::move(tasks);
    }
    m_wake.notify_all();
}

std::vector<ReductionOutcome> CReductionWorker::TakeOutcomes() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_outbox, {});
}

void CReductionWorker::Loop() {
    for (;;) {
        ReductionTask task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit) return;
            task = m_queue.front();
            m_queue.erase(m_queue.begin());
            m_running = task;
            m_stopRunning = false;
        }
        ReductionOutcome outcome = Make(task);
        bool deliver = false;
        {
            const std::lock_guard lock(m_mutex);
            m_running.reset();
            if (outcome.result != ReductionResult::Cancelled && !m_quit) {
                m_outbox.push_back(std::move(outcome));
                deliver = true;
            }
        }
        if (deliver) emit OutcomesReady();
    }
}

ReductionOutcome CReductionWorker::Make(const ReductionTask& task) {
    ReductionRun run;
    run.header = m_image.header;
    run.bits = m_image.bits;
    run.entryAlpha = m_image.entryAlpha;
    run.choice = task.choice;
    run.firstRow = task.firstRow;
    run.rowCount = task.rowCount;
    run.progressContext = this;
    run.progress = [](void* context, int percent) {
        auto* worker = static_cast<CReductionWorker*>(context);
        worker->m_percent = percent;
        return worker->m_stopRunning.load() ? 1 : 0;
    };
    const int method = task.choice.paletteMethod;
    if (method == kQuantzMedianCut || method == kQuantzOctree)
        run.plan = &m_plans[{method, task.choice.colours}];
    ReductionOutcome outcome;
    outcome.task = task;
    outcome.result = run.Run(m_reduce, &outcome.image);
    if (outcome.result == ReductionResult::Ok && task.Whole())
        outcome.psnr = ReductionPsnr(m_image.header, m_image.bits, m_image.entryAlpha, outcome.image);
    return outcome;
}
