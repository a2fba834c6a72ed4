#pragma once
// Reading and writing the files the engine uses, for assertions.

#include <cstdint>
#include <string>
#include <vector>

std::string ReadTextFile(const std::string& path);
std::vector<uint8_t> ReadBinaryFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Positions of `needles` in `text`, searched one after the other; the test
// fails at the first one missing. True when all were found in order.
bool ContainsInOrder(const std::string& text, const std::vector<std::string>& needles,
                     std::string* missing = nullptr);
