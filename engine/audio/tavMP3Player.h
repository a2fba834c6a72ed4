#pragma once
// One piece of music played through a DirectShow filter graph (MP3, or any
// file the system's filters can render). The graph writes its own log to
// ".\base\log\graph.log". DirectShow's headers stay out of this one: it is
// included wherever the engine object is.

#include <windows.h>

struct IGraphBuilder;
struct IMediaControl;
struct IMediaEvent;
struct IMediaPosition;
struct IVideoWindow;

class tavMP3Player
{
public:
    tavMP3Player();
    ~tavMP3Player();
    tavMP3Player(const tavMP3Player&) = delete;
    tavMP3Player& operator=(const tavMP3Player&) = delete;

    // Builds the filter graph and queries its control, event, position and
    // video-window interfaces, then opens (truncating) the graph log and
    // hands it to the graph. A log that cannot be opened (no ".\base\log\"
    // folder) is not a failure: HasGraphLog() tells. Releases what an
    // earlier Create made first.
    HRESULT Create();
    // Renders `path` into the graph (the file is read here, not at play
    // time). Fails for a missing file or one no filter understands.
    HRESULT Open(const char* path);
    // From the beginning.
    HRESULT Play();
    // Stops the graph and moves to the end of the stream, so IsPlaying()
    // is false from here on.
    HRESULT Stop();
    // The position is before the end of the stream: true for a piece that
    // was opened and never played too, false once it has run to its end.
    bool IsPlaying() const;
    // Releases the graph, its interfaces and the log; Create may follow.
    // Safe to call twice.
    void Release();

    bool IsCreated() const { return graph != nullptr; }
    bool IsOpen() const { return opened; }
    bool HasGraphLog() const { return logFile != INVALID_HANDLE_VALUE; }

    // Where the graph writes its log, relative to the working folder.
    static const char* const LogPath;

private:
    void OpenGraphLog();

    IGraphBuilder* graph;
    IMediaControl* control;
    IMediaEvent* events;
    IMediaPosition* position;
    IVideoWindow* video;
    HANDLE logFile;
    bool opened;
};
