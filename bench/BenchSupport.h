#pragma once

// What the address-book benchmarks share: the generated address book of 50,000 members
// (the same rows on every run: a fixed seed, fixed shapes), the main database it lives
// in, and the timing and printing of each step.
#include "platform/Database.h"

#include <QTemporaryDir>
#include <functional>
#include <random>

namespace bench {

struct AddressBookShape {
    enum class Groups {
        None,       // no group rows; members still name group ids 1 to 500
        TwoLevels,  // 50 top-level groups with 9 subgroups each
        SomeDeeper, // the same, every third subgroup one level further down
    };
    enum class Names {
        Syllables, // Greek surnames, first names and occupations made of syllables
        Numbered,  // "Επώνυμο <n>", one first name and one occupation for all
    };
    Groups groups = Groups::TwoLevels;
    Names names = Names::Syllables;
};

constexpr int kMembers = 50000;
constexpr int kTopGroups = 50;
constexpr int kSubgroupsEach = 9; // 50 + 450 = 500 groups
constexpr int kGroups = kTopGroups * (1 + kSubgroupsEach);

// A made-up Greek word of that many syllables, one draw from random each.
QString syllableWord(std::mt19937& random, int parts);

// Prints a database failure; true when the result is a success.
bool check(const rt::DbResult& result);

// Fills the open database with the address book of that shape, in one transaction.
bool fillAddressBook(rt::Database& db, const AddressBookShape& shape);

// Makes SMS.mdb in the folder (the program folder from then on), opens it as the main
// database and fills it; the path of the file is returned through path.
bool openAddressBook(const QTemporaryDir& folder, const AddressBookShape& shape,
                     QString* path = nullptr);

// The milliseconds the work takes, with the event loop's turn that follows it:
// publishing to the views, layout and painting happen there, so they are counted.
double timed(const std::function<void()>& work);

// One line of the benchmark's table.
void report(const char* what, double ms);

} // namespace bench
