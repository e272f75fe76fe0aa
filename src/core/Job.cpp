#include "core/Job.h"

void Job::cancel()
{
    if (!m_running)
        return;
    stop();
    m_cancelled = true;
    end();
}

void Job::begin()
{
    m_running = true;
    m_cancelled = false;
}

void Job::end()
{
    m_running = false;
    emit finished();
}
