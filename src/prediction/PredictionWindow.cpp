#include "prediction/PredictionWindow.h"

namespace peridon {

// Placeholder until the prediction window is built.
一発ペリドン::一発ペリドン(ChildHost& host, QObject* parent) : QObject(parent), m_host(host) {}
一発ペリドン::~一発ペリドン() = default;
void 一発ペリドン::ReadInitFile() {}
void 一発ペリドン::WriteInitFile() {}
void 一発ペリドン::showWindow() {}
bool 一発ペリドン::isOpen() const { return false; }

} // namespace peridon
