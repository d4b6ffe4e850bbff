#pragma once

namespace tarvo {

class IMessagePort;

// "Záznam byl odstraněn jinou aplikací!" with the information icon: what
// every register tells when the record it was to read or change is gone.
void ShowRecordGone(IMessagePort& messages);

// What a register operation came to. The register has already told the user
// whatever there was to tell (through the message port, with the designed
// text and icon); the caller only decides what its list does next.
enum class Outcome {
    Done,      // the change is stored as one unit of work
    Unchanged, // nothing to do (the value was the same, or the user said No)
    Vanished,  // the record was removed by another program meanwhile
    Refused,   // a rule of the register refused the change; nothing was written
    Failed,    // a database error; nothing of this unit was written
};

// A record read by a register: the record when outcome is Done; otherwise
// Vanished or Failed, already told to the user.
template <typename Record> struct ReadResult {
    Outcome outcome = Outcome::Failed;
    Record record{};

    explicit operator bool() const { return outcome == Outcome::Done; }
    const Record& operator*() const { return record; }
    const Record* operator->() const { return &record; }
};

} // namespace tarvo
