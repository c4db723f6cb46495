#pragma once

#include "core/history/AnalysisInput.h"
#include "core/history/DrawHistory.h"
#include "core/history/StartupStats.h"
#include "core/store/Database.h"

namespace peridon {

// What the program reads once at start-up and shares with every window: the
// connection string, the history snapshot and its statistics. Owned by the
// application for its whole run and never changed after it is opened.
class Store final {
public:
    Store() = default;
    // Opens the database, reads the snapshot and computes the statistics.
    // Throws DbError with a message for the user.
    static Store open(const ConnectString& cs);
    // A store over a given history (tests, benchmarks).
    static Store fromHistory(DrawHistory history, const ConnectString& cs = {});

    const ConnectString& connectString() const { return m_connect; }
    const DrawHistory& history() const { return m_history; }
    const StartupStats& stats() const { return m_stats; }
    AnalysisInput input() const { return AnalysisInput{m_history, m_stats}; }

private:
    ConnectString m_connect;
    DrawHistory m_history;
    StartupStats m_stats;
};

} // namespace peridon
