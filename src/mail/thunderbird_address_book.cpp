#include "mail/thunderbird_address_book.h"

#include "mail/vcard.h"
#include "text/native_text.h"

#include <cerrno>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace quillon {
namespace {

// Thunderbird's schema of version 4 (PRAGMA user_version), as it makes an empty book.
constexpr const char* kSchema =
    "PRAGMA journal_mode = MEMORY;"
    "PRAGMA temp_store = MEMORY;"
    "PRAGMA user_version = 4;"
    "CREATE TABLE properties (card TEXT, name TEXT, value TEXT);"
    "CREATE TABLE lists (uid TEXT PRIMARY KEY, name TEXT, nickName TEXT, description TEXT);"
    "CREATE TABLE list_cards (list TEXT, card TEXT, PRIMARY KEY(list, card));"
    "CREATE INDEX properties_card ON properties(card);"
    "CREATE INDEX properties_name ON properties(name);";
constexpr std::string_view kUrnPrefix = "urn:uuid:";

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

class Book {
  public:
    bool Open(const std::string& path) {
        sqlite3* db = nullptr;
        // SQLite names files in UTF-8 on every system.
        const int opened =
            sqlite3_open_v2(NativeToUtf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        db_.reset(db);
        return opened == SQLITE_OK &&
               sqlite3_exec(db_.get(), kSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
               sqlite3_exec(db_.get(), "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
               Prepare("INSERT INTO properties VALUES (?, ?, ?)", property_) &&
               Prepare("INSERT INTO lists VALUES (?, ?, '', '')", list_) &&
               Prepare("INSERT OR IGNORE INTO list_cards VALUES (?, ?)", member_);
    }
    bool Card(const std::string& uid, const Contact& contact) {
        const std::string modified =
            contact.LastModified > 0 ? std::to_string(contact.LastModified) : "";
        const std::pair<const char*, std::string> values[] = {
            {"_vCard", VCardsOf({contact})},
            {"DisplayName", contact.Shown()},
            {"FirstName", contact.GivenName},
            {"LastName", contact.Surname},
            {"NickName", contact.Nickname},
            {"PrimaryEmail", contact.Emails.empty() ? "" : contact.Emails[0]},
            {"SecondEmail", contact.Emails.size() < 2 ? "" : contact.Emails[1]},
            {"LastModifiedDate", modified},
        };
        for (const auto& [name, value] : values) {
            if (!value.empty() && !Run(property_, {uid, name, value})) {
                return false;
            }
        }
        return true;
    }
    bool List(const std::string& uid, const std::string& name) { return Run(list_, {uid, name}); }
    bool Member(const std::string& list, const std::string& card) {
        return Run(member_, {list, card});
    }
    bool Commit() {
        return sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    }

  private:
    bool Prepare(const char* sql, std::unique_ptr<sqlite3_stmt, Closer>& statement) {
        sqlite3_stmt* prepared = nullptr;
        const bool done = sqlite3_prepare_v2(db_.get(), sql, -1, &prepared, nullptr) == SQLITE_OK;
        statement.reset(prepared);
        return done;
    }
    bool Run(std::unique_ptr<sqlite3_stmt, Closer>& statement,
             std::initializer_list<std::string> values) {
        int at = 1;
        for (const std::string& value : values) {
            sqlite3_bind_text(statement.get(), at++, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
        }
        const bool done = sqlite3_step(statement.get()) == SQLITE_DONE;
        sqlite3_reset(statement.get());
        return done;
    }

    std::unique_ptr<sqlite3, Closer> db_;
    std::unique_ptr<sqlite3_stmt, Closer> property_, list_, member_;
};

std::string UidOf(const Contact& contact) {
    return ContactUid(contact).substr(kUrnPrefix.size());
}

} // namespace

bool WriteThunderbirdAddressBook(const std::string& path, const std::vector<Contact>& contacts,
                                 std::size_t& cards, FileError& error) {
    Book book;
    cards = 0;
    const auto failed = [&] {
        error = FileError{path, EIO};
        return false;
    };
    if (!book.Open(path)) {
        return failed();
    }
    std::map<std::uint32_t, std::string> uids;
    std::map<std::string, std::string> ownCards; // a group's own address -> its card
    for (const Contact& contact : contacts) {
        if (!contact.Group) {
            uids.emplace(contact.RecordId, UidOf(contact));
            if (!book.Card(UidOf(contact), contact)) {
                return failed();
            }
            ++cards;
        }
    }
    for (const Contact& group : contacts) {
        if (!group.Group) {
            continue;
        }
        const std::string list = UidOf(group);
        if (!book.List(list, group.Shown())) {
            return failed();
        }
        for (const GroupMember& member : group.Members) {
            std::string card;
            if (const auto found = uids.find(member.RecordId); found != uids.end()) {
                card = found->second;
            } else if (const auto made = ownCards.find(member.Email); made != ownCards.end()) {
                card = made->second;
            } else if (!member.Email.empty()) {
                Contact own;
                own.DisplayName = member.Name;
                own.Emails = {member.Email};
                card = ownCards[member.Email] = UidOf(own);
                if (!book.Card(card, own)) {
                    return failed();
                }
                ++cards;
            } else {
                continue; // a contact the book lost
            }
            if (!book.Member(list, card)) {
                return failed();
            }
        }
    }
    return book.Commit() || failed();
}

} // namespace quillon
