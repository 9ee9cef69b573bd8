#include "handles.h"

namespace standin {

uint32_t HandleTable::Allocate(std::string text)
{
    uint32_t handle = next_++;
    blocks_[handle].text = std::move(text);
    return handle;
}

char* HandleTable::Lock(uint32_t handle)
{
    auto found = blocks_.find(handle);
    if (found == blocks_.end()) {
        NoteMisuse("nnLock", handle);
        return nullptr;
    }
    ++found->second.locks;
    return found->second.text.data();
}

void HandleTable::Unlock(uint32_t handle)
{
    auto found = blocks_.find(handle);
    if (found == blocks_.end() || found->second.locks == 0) {
        NoteMisuse("nnUnlock", handle);
        return;
    }
    --found->second.locks;
}

void HandleTable::Free(uint32_t handle)
{
    auto found = blocks_.find(handle);
    if (found == blocks_.end()) {
        NoteMisuse("nnFree", handle);
        return;
    }
    if (found->second.locks > 0) // the text's address is still in use
        misuse_.push_back("nnFree of handle " + std::to_string(handle) + " that is still locked " +
                          std::to_string(found->second.locks) + " time(s)");
    blocks_.erase(found);
}

void HandleTable::NoteMisuse(const char* operation, uint32_t handle)
{
    std::string what = std::string(operation) + " of ";
    if (blocks_.count(handle))
        what += "handle " + std::to_string(handle) + " that is not locked";
    else if (handle != 0 && handle < next_)
        what += "freed handle " + std::to_string(handle);
    else
        what += "unknown handle " + std::to_string(handle);
    misuse_.push_back(what);
}

std::vector<std::string> HandleTable::Problems() const
{
    std::vector<std::string> problems = misuse_;
    for (const auto& [handle, block] : blocks_) {
        problems.push_back("handle " + std::to_string(handle) + " was never freed");
        if (block.locks > 0)
            problems.push_back("handle " + std::to_string(handle) + " is still locked " +
                               std::to_string(block.locks) + " time(s)");
    }
    return problems;
}

} // namespace standin
