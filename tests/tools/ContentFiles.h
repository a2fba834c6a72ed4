#pragma once
// Where the Windows content tests find the generated base/ folder and put
// their preview pictures: beside the test run's starting folder (the engine
// tests move into a private folder of their own while they run).

#include <string>

// `name` inside base/, as a Windows path.
std::string ContentFile(const std::string& name);
// The folder for preview pictures (created on first use).
std::string PreviewFolder();
