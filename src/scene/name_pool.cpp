#include "scene/name_pool.h"

#include <algorithm>
#include <cstring>

namespace orva {

CNamePool::CNamePool() : m_texts(new char*[10]), m_capacity(10) {}

CNamePool::~CNamePool() {
    for (size_t i = 0; i < m_count; ++i) {
        delete[] m_texts[i];
    }
}

const char* CNamePool::RegisterName(const char* text, size_t length) {
    char* copy = nullptr;
    if (text != nullptr) {
        copy = new char[length + 1];
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_count == m_capacity) {
        const size_t grown = m_capacity + m_count;
        std::unique_ptr<char*[]> texts(new char*[grown]);
        std::copy(m_texts.get(), m_texts.get() + m_count, texts.get());
        m_texts = std::move(texts);
        m_capacity = grown;
    }
    m_texts[m_count++] = copy;
    return copy;
}

size_t CNamePool::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

size_t CNamePool::Capacity() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_capacity;
}

CNamePool& NamePool() {
    static CNamePool pool;
    return pool;
}

}  // namespace orva
