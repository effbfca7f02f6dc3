#include "ImportProgress.h"

namespace {

class SilentProgress : public ImportProgress
{
public:
    QString setStatusText(const QString &) override { return QString(); }
    void showProgressBar() override {}
    void setProgressPosition(int) override {}
    void hideProgressBar() override {}
};

SilentProgress g_silent;
ImportProgress *g_installed = nullptr;

} // namespace

ImportProgress &ImportProgress::current()
{
    return g_installed ? *g_installed : g_silent;
}

void ImportProgress::install(ImportProgress *progress)
{
    g_installed = progress;
}
