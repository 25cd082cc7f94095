#include "mail/address_book.h"

#include "disks/file_tree.h"
#include "mail/export_tree.h"
#include "mail/mail_copy.h"
#include "mail/report_text.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>

namespace quillon {
namespace {

bool IsAddressBookName(std::string_view name) {
    constexpr std::string_view kExtension = ".wab";
    return name.size() > kExtension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - kExtension.size()), kExtension);
}

// The address books of `folder` that are plain files (no link is followed), sorted.
std::vector<std::string> AddressBooksIn(const std::string& folder) {
    std::vector<std::string> books;
    LocalTree tree(folder);
    for (const FileTree::Entry& entry : tree.List("")) {
        if (!entry.Folder && entry.Refused == FileTree::Refusal::None &&
            IsAddressBookName(entry.Name)) {
            books.push_back(folder + kPathSeparator + entry.Name);
        }
    }
    std::sort(books.begin(), books.end());
    return books;
}

} // namespace

std::string FindAddressBook(const std::string& store, std::vector<std::string>& problems) {
    std::vector<std::string> books = AddressBooksIn(store);
    for (std::string& book :
         AddressBooksIn(store + kPathSeparator + AnsiToNative(Ansi(kAddressBookFolder)))) {
        books.push_back(std::move(book));
    }
    if (books.size() > 1) {
        problems.push_back(Ansi("Plusieurs carnets d'adresses : seul ") +
                           Quoted(NativeToAnsi(books.front())) + Ansi(" est écrit."));
    }
    return books.empty() ? std::string() : books.front();
}

bool ReadAddressBook(const std::string& path, std::vector<Contact>& contacts,
                     std::vector<std::string>& problems) {
    WabFile file;
    std::string error;
    if (!file.Open(path, error)) {
        problems.push_back(Quoted(NativeToAnsi(path)) + " : " + Ansi(error));
        return false;
    }
    contacts = ContactsOf(file.Records());
    for (const std::string& problem : file.TakeProblems()) {
        problems.push_back(Quoted(NativeToAnsi(path)) + " : " + Ansi(problem));
    }
    return true;
}

} // namespace quillon
