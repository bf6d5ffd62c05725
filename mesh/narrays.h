#pragma once

#include <cstddef>
#include <vector>

// Resizable contiguous array of n elements.
template <typename T>
class NArray1 {
public:
    void resize(size_t count) { elements.assign(count, T()); }
    void clear() { elements.clear(); }
    size_t size() const { return elements.size(); }
    bool empty() const { return elements.empty(); }
    T& operator[](size_t i) { return elements[i]; }
    const T& operator[](size_t i) const { return elements[i]; }
    T* data() { return elements.data(); }
    const T* data() const { return elements.data(); }

private:
    std::vector<T> elements;
};

// Resizable rows x columns array. Element (i, j) is stored at i + j * rows, so
// every column is one contiguous run, as OpenGL's array pointers want it.
template <typename T>
class NArray2 {
public:
    void resize(size_t rowCount, size_t columnCount) {
        rows = rowCount;
        columns = columnCount;
        elements.assign(rows * columns, T());
    }
    void clear() { resize(0, 0); }
    size_t getRows() const { return rows; }
    size_t getColumns() const { return columns; }
    T& at(size_t i, size_t j) { return elements[i + j * rows]; }
    const T& at(size_t i, size_t j) const { return elements[i + j * rows]; }
    // First element of column j.
    T* column(size_t j) { return elements.data() + j * rows; }
    const T* column(size_t j) const { return elements.data() + j * rows; }

private:
    size_t rows = 0;
    size_t columns = 0;
    std::vector<T> elements;
};
