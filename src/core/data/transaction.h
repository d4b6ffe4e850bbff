#pragma once

#include <string>

namespace tarvo {

class CDataStore;

// One unit of work: everything written between construction and Commit() is
// stored together or not at all. Without Commit() the destructor rolls back.
// Units nest (savepoints), so an operation may run inside a caller's unit.
class Transaction {
public:
    explicit Transaction(CDataStore& store);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();

private:
    CDataStore& m_store;
    std::string m_name;
    bool m_done = false;
};

} // namespace tarvo
