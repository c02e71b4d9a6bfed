#include "platform/audio/pulse_outputs.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include <QElapsedTimer>

namespace vexil {

namespace {

struct Query {
    QList<std::pair<QString, QString>> sinks;
    bool done = false;
    bool failed = false;
};

void onSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto* q = static_cast<Query*>(data);
    if (eol < 0) {
        q->failed = true;
        q->done = true;
        return;
    }
    if (eol > 0) {
        q->done = true;
        return;
    }
    if (info && info->name)
        q->sinks.append({QString::fromUtf8(info->name),
                         info->description ? QString::fromUtf8(info->description) : QString()});
}

}  // namespace

std::optional<QList<std::pair<QString, QString>>> pulseOutputs(int timeoutMs) {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop) return std::nullopt;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "vexil");
    Query q;
    bool asked = false;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        QElapsedTimer clock;
        clock.start();
        while (!q.done && clock.elapsed() < timeoutMs) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
                q.failed = true;
                break;
            }
            if (state == PA_CONTEXT_READY && !asked) {
                asked = true;
                pa_operation* op = pa_context_get_sink_info_list(context, onSink, &q);
                if (!op) {
                    q.failed = true;
                    break;
                }
                pa_operation_unref(op);
            }
            // Wait at most a tenth of a second for the server, then look at the clock.
            pa_mainloop_prepare(loop, 100000);
            pa_mainloop_poll(loop);
            pa_mainloop_dispatch(loop);
        }
        pa_context_disconnect(context);
    } else {
        q.failed = true;
    }
    if (context) pa_context_unref(context);
    pa_mainloop_free(loop);
    if (q.failed || !q.done) return std::nullopt;
    return q.sinks;
}

}  // namespace vexil
