// Creates the supplied note database from schema.sql and the seed files, unless the target
// file already exists: a user's notes survive every rebuild.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {
std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_database TARGET SQLFILE...\n");
        return 2;
    }
    const std::filesystem::path target = argv[1];
    if (std::filesystem::exists(target)) return 0;

    // Build under a temporary name so that an interrupted build never leaves half a database.
    const std::filesystem::path partial = target.string() + ".partial";
    std::filesystem::remove(partial);
    try {
        sqlite3* db = nullptr;
        if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK)
            throw std::runtime_error("cannot create database");
        for (int i = 2; i < argc; ++i) {
            std::string sql = readFile(argv[i]);
            char* error = nullptr;
            if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
                std::string message = std::string(argv[i]) + ": " + (error ? error : "?");
                sqlite3_free(error);
                sqlite3_close(db);
                throw std::runtime_error(message);
            }
        }
        sqlite3_close(db);
        std::filesystem::rename(partial, target);
    } catch (const std::exception& e) {
        std::filesystem::remove(partial);
        std::fprintf(stderr, "make_database: %s\n", e.what());
        return 1;
    }
    return 0;
}
