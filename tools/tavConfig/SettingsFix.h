#pragma once
// Brings settings within what the machine offers: every value the chosen
// adapter cannot do is replaced by one it can, and each replacement is
// described in a line for the player. Values it can do are never touched,
// so fixing twice changes nothing the second time.

#include <string>
#include <vector>

struct MachineOffer;
struct SampleOffer;
struct Settings;

// The sound channels the dialog allows.
const int MinChannels = 1;
const int MaxChannels = 128;

// The lines say what was replaced and by what. With no adapter at all
// nothing is replaced and one line says so.
std::vector<std::string> FixSettings(Settings& settings, const MachineOffer& offer);

// The multisample types the settings' adapter, device, format and window
// mode support (empty when the settings name nothing the machine has).
const std::vector<SampleOffer>* SamplesFor(const Settings& settings, const MachineOffer& offer);
