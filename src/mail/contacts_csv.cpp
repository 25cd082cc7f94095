#include "mail/contacts_csv.h"

#include <algorithm>
#include <map>

namespace quillon {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Google Contacts keeps several values in one cell, separated so.
constexpr std::string_view kGoogleSeparator = " ::: ";

// A field, quoted when it holds a comma, a quote or a line end; quotes doubled.
std::string Field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

void AddRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out.append(i == 0 ? "" : ",").append(Field(fields[i]));
    }
    out.append(kLineEnd);
}

std::string PhoneOf(const Contact& contact, ContactPhone::Use use) {
    for (const ContactPhone& phone : contact.Phones) {
        if (phone.Kind == use) {
            return phone.Number;
        }
    }
    return {};
}

const ContactAddress* AddressOf(const Contact& contact, bool home) {
    for (const ContactAddress& address : contact.Addresses) {
        if (address.Home == home) {
            return &address;
        }
    }
    return nullptr;
}

// Street, second line, city, region, postal code, country; the street's first line apart
// from the rest, as Thunderbird keeps them.
std::vector<std::string> ThunderbirdAddress(const ContactAddress* address) {
    if (address == nullptr) {
        return std::vector<std::string>(6);
    }
    const std::size_t lineEnd = address->Street.find_first_of("\r\n");
    std::string second =
        lineEnd == std::string::npos ? std::string() : address->Street.substr(lineEnd);
    second.erase(0, second.find_first_not_of("\r\n"));
    return {address->Street.substr(0, lineEnd),
            second,
            address->City,
            address->Region,
            address->PostalCode,
            address->Country};
}

std::string Number(int value) {
    return value > 0 ? std::to_string(value) : std::string();
}

std::string GooglePhoneType(ContactPhone::Use use) {
    switch (use) {
    case ContactPhone::Use::Home:
        return "Home";
    case ContactPhone::Use::Work:
        return "Work";
    case ContactPhone::Use::Mobile:
        return "Mobile";
    case ContactPhone::Use::HomeFax:
        return "Home Fax";
    case ContactPhone::Use::WorkFax:
        return "Work Fax";
    case ContactPhone::Use::Pager:
        return "Pager";
    }
    return "Other";
}

std::string Joined(const std::vector<std::string>& values, std::string_view separator) {
    std::string out;
    for (const std::string& value : values) {
        out += (out.empty() ? "" : std::string(separator)) + value;
    }
    return out;
}

} // namespace

std::string ThunderbirdCsvOf(const std::vector<Contact>& contacts) {
    std::string out;
    AddRow(out,
           {"First Name",      "Last Name",     "Display Name", "Nickname",       "Primary Email",
            "Secondary Email", "Screen Name",   "Work Phone",   "Home Phone",     "Fax Number",
            "Pager Number",    "Mobile Number", "Home Address", "Home Address 2", "Home City",
            "Home State",      "Home ZipCode",  "Home Country", "Work Address",   "Work Address 2",
            "Work City",       "Work State",    "Work ZipCode", "Work Country",   "Job Title",
            "Department",      "Organization",  "Web Page 1",   "Web Page 2",     "Birth Year",
            "Birth Month",     "Birth Day",     "Custom 1",     "Custom 2",       "Custom 3",
            "Custom 4",        "Notes"});
    for (const Contact& contact : contacts) {
        if (contact.Group) {
            continue;
        }
        std::vector<std::string> row = {contact.GivenName,
                                        contact.Surname,
                                        contact.Shown(),
                                        contact.Nickname,
                                        contact.Emails.empty() ? "" : contact.Emails[0],
                                        contact.Emails.size() < 2 ? "" : contact.Emails[1],
                                        "",
                                        PhoneOf(contact, ContactPhone::Use::Work),
                                        PhoneOf(contact, ContactPhone::Use::Home),
                                        PhoneOf(contact, ContactPhone::Use::WorkFax).empty()
                                            ? PhoneOf(contact, ContactPhone::Use::HomeFax)
                                            : PhoneOf(contact, ContactPhone::Use::WorkFax),
                                        PhoneOf(contact, ContactPhone::Use::Pager),
                                        PhoneOf(contact, ContactPhone::Use::Mobile)};
        for (const bool home : {true, false}) {
            for (std::string& part : ThunderbirdAddress(AddressOf(contact, home))) {
                row.push_back(std::move(part));
            }
        }
        for (std::string part :
             {contact.JobTitle, contact.Department, contact.Company, contact.WorkPage,
              contact.HomePage, Number(contact.BirthYear), Number(contact.BirthMonth),
              Number(contact.BirthDay), std::string(), std::string(), std::string(), std::string(),
              contact.Notes}) {
            row.push_back(std::move(part));
        }
        AddRow(out, row);
    }
    return out;
}

std::string GoogleCsvOf(const std::vector<Contact>& contacts) {
    std::map<std::uint32_t, std::vector<std::string>> groupsOf;
    for (const Contact& group : contacts) {
        for (const GroupMember& member : group.Members) {
            if (group.Group && member.RecordId != 0) {
                groupsOf[member.RecordId].push_back(group.Shown());
            }
        }
    }
    std::size_t phones = 1;
    for (const Contact& contact : contacts) {
        phones = std::max(phones, contact.Phones.size());
    }
    std::vector<std::string> header = {
        "Name",     "Given Name",       "Additional Name", "Family Name",
        "Nickname", "Name Prefix",      "Name Suffix",     "Birthday",
        "Notes",    "Group Membership", "E-mail 1 - Type", "E-mail 1 - Value"};
    for (std::size_t i = 1; i <= phones; ++i) {
        header.push_back("Phone " + std::to_string(i) + " - Type");
        header.push_back("Phone " + std::to_string(i) + " - Value");
    }
    for (int i = 1; i <= 2; ++i) {
        for (const char* part : {"Type", "Street", "City", "Region", "Postal Code", "Country"}) {
            header.push_back("Address " + std::to_string(i) + " - " + part);
        }
    }
    for (const char* part :
         {"Organization 1 - Name", "Organization 1 - Title", "Organization 1 - Department",
          "Website 1 - Type", "Website 1 - Value", "Website 2 - Type", "Website 2 - Value"}) {
        header.push_back(part);
    }
    std::string out;
    AddRow(out, header);
    for (const Contact& contact : contacts) {
        if (contact.Group) {
            continue;
        }
        std::vector<std::string> groups = {"* myContacts"};
        for (const std::string& group : groupsOf[contact.RecordId]) {
            groups.push_back(group);
        }
        std::vector<std::string> row = {contact.Shown(),
                                        contact.GivenName,
                                        contact.MiddleName,
                                        contact.Surname,
                                        contact.Nickname,
                                        contact.Prefix,
                                        contact.Suffix,
                                        contact.Birthday(),
                                        contact.Notes,
                                        Joined(groups, kGoogleSeparator),
                                        contact.Emails.empty() ? "" : "* Internet",
                                        Joined(contact.Emails, kGoogleSeparator)};
        for (std::size_t i = 0; i < phones; ++i) {
            const bool there = i < contact.Phones.size();
            row.push_back(there ? GooglePhoneType(contact.Phones[i].Kind) : "");
            row.push_back(there ? contact.Phones[i].Number : "");
        }
        for (std::size_t i = 0; i < 2; ++i) {
            const ContactAddress* address =
                i < contact.Addresses.size() ? &contact.Addresses[i] : nullptr;
            if (address == nullptr) {
                row.insert(row.end(), 6, "");
                continue;
            }
            for (std::string part :
                 {std::string(address->Home ? "Home" : "Work"), address->Street, address->City,
                  address->Region, address->PostalCode, address->Country}) {
                row.push_back(std::move(part));
            }
        }
        for (std::string part :
             {contact.Company, contact.JobTitle, contact.Department,
              std::string(contact.HomePage.empty() ? "" : "Home Page"), contact.HomePage,
              std::string(contact.WorkPage.empty() ? "" : "Work"), contact.WorkPage}) {
            row.push_back(std::move(part));
        }
        AddRow(out, row);
    }
    return out;
}

} // namespace quillon
