#pragma once

#include "StationReporter.h"

// The station for scripts: every download's events exactly as flash --json gives them, one
// JSON object per line; the station's own events are status events in the same words as its
// plain lines (the shared ones with "port": null).
class StationJson : public StationReporter
{
public:
    StationJson() : m_events(MakeJsonReporter(m_out)) {}

    void Status(const QString& port, const QString& text) override { m_events->Status(port, text); }
    void FileState(const QString& port, const QString& text) override
    {
        m_events->FileState(port, text);
    }
    void Progress(const QString& port, const FlashProgress& progress) override
    {
        m_events->Progress(port, progress);
    }
    void Message(const QString& port, const MessageBoxText& box) override
    {
        m_events->Message(port, box);
    }
    void Outcome(const FlashSummary& summary) override { m_events->Outcome(summary); }
    void Finish() override { m_events->Finish(); }

    void Watching(const QString& folder, bool folderExists) override
    {
        m_events->Status(QString(), WatchingText(folder, folderExists));
    }
    void LeftAlone(const QString& port) override { m_events->Status(port, LeftAloneText()); }
    void Plugged(const QString& port, const QString& serialNumber) override
    {
        m_events->Status(port, PluggedText(serialNumber));
    }
    void Started(const QString&) override {}
    void Ended(const FlashSummary&, const StationCounts&) override {}
    void Unplugged(const QString& port) override { m_events->Status(port, UnpluggedText()); }
    void Stopped(const StationCounts& counts) override
    {
        m_events->Status(QString(), StoppedText(counts));
        m_events->Finish();
    }

private:
    OutputQueue m_out;
    std::unique_ptr<FlashReporter> m_events;
};
