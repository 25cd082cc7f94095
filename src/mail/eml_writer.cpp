#include "mail/eml_writer.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <initializer_list>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;
#endif

namespace quillon {

#ifdef _WIN32
std::string EmlWriterMissing() {
    return "les messages .eml sont écrits par undbx, sous Linux ; sous Windows, le courrier "
           "copié s'ouvre avec Outlook Express ou s'importe dans un autre client";
}

bool WriteMessagesAsEml(const std::string&, std::string& error) {
    error = EmlWriterMissing();
    return false;
}
#else
namespace {

constexpr const char* kUndbx = "undbx";

// Runs undbx with `arguments` and waits for it; its exit status, or -1 when it could not run.
int RunUndbx(std::initializer_list<std::string> arguments) {
    std::vector<std::string> words{kUndbx};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // undbx tells of every message and of every .dbx file that holds none (the folders list,
    // the POP3 list): the report is Quillon's, and its exit status says whether it failed.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, kUndbx, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string EmlWriterMissing() {
    return RunUndbx({"--version"}) == 0
               ? std::string()
               : "undbx n'est pas installé : installez le paquet undbx (sudo apt install undbx), "
                 "puis recommencez";
}

bool WriteMessagesAsEml(const std::string& copy, std::string& error) {
    if (RunUndbx({copy, copy + "/" + kEmlFolder}) != 0) {
        error = "undbx n'a pas pu écrire tous les messages de « " + copy + " » en .eml";
        return false;
    }
    return true;
}
#endif

} // namespace quillon
