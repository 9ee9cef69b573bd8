// Runtime-owned memory handed out by handle, as the statistics queries do.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

class HandleTable {
  public:
    // Stores a copy of the text, NUL-terminated; returns its new handle (never 0).
    uint32_t Allocate(std::string text);
    // The text's address, or nullptr for a handle that is unknown or freed.
    char* Lock(uint32_t handle);
    void Unlock(uint32_t handle);
    void Free(uint32_t handle);

    // Every misuse seen, and every block still allocated or locked, one line each.
    std::vector<std::string> Problems() const;

  private:
    struct Block {
        std::string text;
        int locks = 0;
    };
    void NoteMisuse(const char* operation, uint32_t handle);

    std::map<uint32_t, Block> blocks_;
    std::vector<std::string> misuse_;
    uint32_t next_ = 1;
};

} // namespace standin
