#include "cli/Shard.h"

namespace {
const QString kTaskId = QStringLiteral("SLURM_ARRAY_TASK_ID");
const QString kTaskCount = QStringLiteral("SLURM_ARRAY_TASK_COUNT");
const QString kTaskMin = QStringLiteral("SLURM_ARRAY_TASK_MIN");
const QString kTaskMax = QStringLiteral("SLURM_ARRAY_TASK_MAX");
} // namespace

bool Shard::Parse(const QString& value, const QProcessEnvironment& env, Shard* shard, QString* error)
{
    if (value == QLatin1String("auto"))
        return FromSlurm(env, shard, error);
    const qsizetype slash = value.indexOf(QLatin1Char('/'));
    const int index = slash < 0 ? -1 : Number(value.left(slash));
    const int count = slash < 0 ? -1 : Number(value.mid(slash + 1));
    if (index < 0 || count < 1 || index >= count) {
        *error = QStringLiteral("bad value \"%1\" for --shard (K/N with 0 <= K < N, or auto)").arg(value);
        return false;
    }
    *shard = Shard(index, count);
    return true;
}

bool Shard::FromSlurm(const QProcessEnvironment& env, Shard* shard, QString* error)
{
    if (!env.contains(kTaskId) || !env.contains(kTaskCount)) {
        *error = QStringLiteral("--shard auto needs SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT: run it as a task "
                                "of a Slurm array job submitted with --array=0-M (M: the tasks less one), or give --shard K/N");
        return false;
    }
    const int index = Number(env.value(kTaskId));
    const int count = Number(env.value(kTaskCount));
    // The task id is the index as --array gave it: the array must run from 0
    // to N-1 without gaps for the shares to cover the list.
    const bool fromZero = !env.contains(kTaskMin) || Number(env.value(kTaskMin)) == 0;
    const bool noGaps = !env.contains(kTaskMax) || Number(env.value(kTaskMax)) == count - 1;
    if (index < 0 || count < 1 || index >= count || !fromZero || !noGaps) {
        *error = QStringLiteral("--shard auto: the array task %1 of %2 (ids %3 to %4) does not fit; submit the array "
                                "as --array=0-%5 (ids from 0 to the task count less one)")
                     .arg(env.value(kTaskId), env.value(kTaskCount), env.value(kTaskMin, QStringLiteral("?")),
                          env.value(kTaskMax, QStringLiteral("?")))
                     .arg(count > 0 ? count - 1 : 0);
        return false;
    }
    *shard = Shard(index, count);
    return true;
}

int Shard::Number(const QString& text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    return text.toInt();
}
