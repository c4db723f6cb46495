#include "core/store/Store.h"

namespace peridon {

Store Store::open(const ConnectString& cs) {
    Database db(cs, Database::Mode::OpenExisting);
    return fromHistory(db.readHistory(), cs);
}

Store Store::fromHistory(DrawHistory history, const ConnectString& cs) {
    Store s;
    s.m_connect = cs;
    s.m_history = std::move(history);
    s.m_stats = StartupStats::compute(s.m_history);
    return s;
}

} // namespace peridon
