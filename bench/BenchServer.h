#pragma once
// The benchmarks' own PostgreSQL server (the tests' throwaway server script), started on first use
// and stopped when the program ends; and a database on it filled from a store file.
#include <string>

namespace bench {
// Stops the server when one was started; the program calls it before it ends.
void stopServer();
// The path of the server's Unix socket.
const std::string& serverSocket();
// A new database named `name` holding the program's tables with the rows of the store file
// `storeFile`; returns its connection string (straight to the server's socket).
std::string serverDatabaseFrom(const std::string& name, const std::string& storeFile);
// The same database reached through the folder `socketFolder` (a proxy's).
std::string throughFolder(const std::string& connInfo, const std::string& socketFolder);
} // namespace bench
