// The folder of recovery files, shared by every running Orvik of the user.
//
// Each running program has an id of its own and holds the lock file "<id>.lock" there with
// flock(), which the system lets go of however the program ends (a crash, SIGKILL, a power cut).
// Its recovery files are named "<id>-<number>.orvikrec". A recovery file whose owner's lock can be
// taken, or has no lock at all, belongs to no running program: it is an orphan, offered at the next
// start. Taking one over is a rename to the taker's own name, so of two programs reaching for the
// same orphan only one gets it.
#pragma once

#include <string>
#include <vector>

class CRecoveryStore {
public:
    explicit CRecoveryStore(std::string folder);
    // Lets go of the lock; the files stay, as after a crash (Close is the clean way out).
    ~CRecoveryStore();
    CRecoveryStore(const CRecoveryStore&) = delete;
    CRecoveryStore& operator=(const CRecoveryStore&) = delete;

    // Makes the folder (mode 0700, with any missing parents) and takes this program's lock; at
    // once when done before. False, with the reason in `error`, when that fails.
    bool Open(std::string* error);
    bool IsOpen() const { return m_lock >= 0; }
    const std::string& Folder() const { return m_folder; }
    // The path of this program's recovery file `number`.
    std::string PathFor(int number) const;

    // The recovery files no running program owns, by name.
    std::vector<std::string> Orphans() const;
    // Takes over an orphan as this program's file `number` (Open first). False when it is gone:
    // discarded, or taken by another program.
    bool Claim(const std::string& orphan, int number) const;
    // Removes what programs that are gone left besides their recovery files: locks of programs
    // without a file any more, and temporary files of writes they did not finish.
    void Tidy() const;
    // At a clean exit, once this program's files are removed: removes its lock.
    void Close();

private:
    // Whether the program with this id is running (its lock is held).
    bool Running(const std::string& id) const;

    std::string m_folder;
    std::string m_id;
    int m_lock = -1;
};
