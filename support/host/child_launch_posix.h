// What a POSIX host prepares before it starts a child program: the
// environment it passes on, in the form execve and posix_spawn take, and the
// files the child's output went to.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vexa::host {

// Variables set (or replaced) in the child's copy of this process's environment.
using EnvironmentChanges = std::vector<std::pair<std::string, std::string>>;

// This process's environment with `changes` made, as "NAME=value" strings.
std::vector<std::string> EnvironmentWith(const EnvironmentChanges& changes);

// Pointers to the strings followed by a null pointer, for argv and envp.
// The pointers are valid while `strings` is neither changed nor destroyed.
std::vector<char*> NullTerminatedPointers(std::vector<std::string>& strings);

// The whole contents of a file, empty when it cannot be read.
std::string FileContents(const std::filesystem::path& path);

}  // namespace vexa::host
