#pragma once

#include <QProcessEnvironment>
#include <QString>

// One share of a list of workbooks among N processes (--shard K/N): the
// workbooks whose 0-based place i in the whole list has i mod N = K. Every
// workbook falls in exactly one share, whatever the list holds, so that N
// processes (a Slurm array job, or any scheduler that hands out an index)
// convert the list together without talking to each other.
class Shard {
public:
    Shard() = default; // the whole list
    Shard(int index, int count) : m_nIndex(index), m_nCount(count) {}

    int Index() const { return m_nIndex; }
    int Count() const { return m_nCount; }
    bool Holds(qsizetype position) const { return position % m_nCount == m_nIndex; }

    // "K/N" (0 <= K < N), or "auto": K and N of the Slurm array task that runs
    // this process, read from env. False, with a one-line reason, otherwise.
    static bool Parse(const QString& value, const QProcessEnvironment& env, Shard* shard, QString* error);

private:
    static bool FromSlurm(const QProcessEnvironment& env, Shard* shard, QString* error);
    // A whole number of digits only, or -1.
    static int Number(const QString& text);

    int m_nIndex = 0;
    int m_nCount = 1;
};
