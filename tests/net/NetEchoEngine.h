#pragma once
// An example of tavNet in the engine's test host: the console command
// "netecho <port>" opens a listener on the port and a connecter to it in
// this one process, sends a line, and shows in the console and the log how
// it came back. The listener echoes every packet to its sender.

#include "support/TestEngine.h"

#include <string>

class NetEchoEngine : public TestEngine
{
public:
    static const uint32_t NetEchoCommand = 1601;
    // The line "netecho" sends.
    static const char* const Greeting;

    HRESULT GameInitialize() override;
    void OnCommandInts(uint32_t id, int port, int, int) override;

private:
    // Prints to the console and writes the same line to the log.
    void Report(uint32_t colour, const std::string& line);
};
