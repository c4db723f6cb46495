#include "support/WorkingDirectory.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

namespace peridon::test {

namespace {

class TemporaryWorkingDirectory final {
public:
    TemporaryWorkingDirectory() : m_previous(QDir::currentPath()) {
        if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path()))
            qFatal("cannot make a temporary working directory: %s",
                   qPrintable(m_dir.errorString()));
    }
    // Windows does not remove a folder that is some process's working
    // directory: leave it first.
    ~TemporaryWorkingDirectory() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
    QTemporaryDir m_dir; // removed after the destructor's body has run
};

} // namespace

void useTemporaryWorkingDirectory() {
    static TemporaryWorkingDirectory directory;
}

} // namespace peridon::test
