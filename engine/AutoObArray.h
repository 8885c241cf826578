#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <vector>

// An array of pointers to objects with an owns-objects flag, initially set. While the
// flag is set the array owns its objects: clearing or destroying it deletes them.
//
// Hand-over: the backup job gathers every source's entries into one list, and the
// restore takes over a source's plan. HandOverTo clears the giving list's flag and
// appends its pointers to the receiving list, which deletes them in its time; the
// giver keeps the pointers as a borrowed view, valid while the receiver holds them.
// Every object is thus deleted exactly once, by the list that received it. Once the
// giver is emptied it owns what is added next, so a source that collects again after
// a hand-over never leaks its new entries.
template <class T> class CAutoObArray
{
public:
    CAutoObArray() = default;
    ~CAutoObArray() { RemoveAll(); }
    CAutoObArray(const CAutoObArray&) = delete;
    CAutoObArray& operator=(const CAutoObArray&) = delete;
    // Moving takes the objects, the flag and the duty with them; the moved-from list
    // is empty and owns what comes next.
    CAutoObArray(CAutoObArray&& other) noexcept
        : m_objects(std::move(other.m_objects)), m_bOwnsObjects(other.m_bOwnsObjects),
          m_bHandedOver(other.m_bHandedOver)
    {
        other.m_objects.clear();
        other.SetOwnsObjects(true);
    }
    CAutoObArray& operator=(CAutoObArray&& other) noexcept
    {
        if (this != &other) {
            RemoveAll();
            m_objects = std::move(other.m_objects);
            m_bOwnsObjects = other.m_bOwnsObjects;
            m_bHandedOver = other.m_bHandedOver;
            other.m_objects.clear();
            other.SetOwnsObjects(true);
        }
        return *this;
    }

    bool GetOwnsObjects() const { return m_bOwnsObjects; }
    // Changing the flag changes who deletes the objects held now; the caller answers
    // for them while it is clear.
    void SetOwnsObjects(bool owns)
    {
        m_bOwnsObjects = owns;
        m_bHandedOver = false;
    }

    std::size_t GetSize() const { return m_objects.size(); }
    std::size_t size() const { return m_objects.size(); }
    bool IsEmpty() const { return m_objects.empty(); }
    T* GetAt(std::size_t index) const { return m_objects.at(index); }
    T* operator[](std::size_t index) const { return m_objects.at(index); }
    auto begin() const { return m_objects.begin(); }
    auto end() const { return m_objects.end(); }

    // Appends an object: owned by the list while the flag is set, else borrowed.
    void Add(T* object) { m_objects.push_back(object); }
    // Appends an object that the list must own; refused when it owns nothing.
    void Add(std::unique_ptr<T> object)
    {
        RequireOwner();
        m_objects.push_back(object.get());
        object.release();
    }
    // Inserts an owned object before position `index` (at the end when beyond it).
    void InsertAt(std::size_t index, std::unique_ptr<T> object)
    {
        RequireOwner();
        index = index < m_objects.size() ? index : m_objects.size();
        m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(index), object.get());
        object.release();
    }
    // Replaces the content by owned objects, deleting the old ones if owned.
    void Assign(std::vector<std::unique_ptr<T>> objects)
    {
        RemoveAll();
        RequireOwner();
        m_objects.reserve(objects.size());
        for (auto& object : objects)
            m_objects.push_back(object.release());
    }

    // Deletes the objects when owned and empties the list; after a hand-over the
    // list owns what comes next.
    void RemoveAll()
    {
        if (m_bOwnsObjects) {
            for (T* object : m_objects)
                delete object;
        }
        m_objects.clear();
        if (m_bHandedOver)
            SetOwnsObjects(true);
    }

    // Gives every object to `receiver` (appended in order). Both lists must own their
    // objects: a borrowed pointer handed on would be deleted twice.
    void HandOverTo(CAutoObArray& receiver)
    {
        if (&receiver == this)
            return;
        RequireOwner();
        receiver.RequireOwner();
        m_bOwnsObjects = false;
        m_bHandedOver = true;
        receiver.m_objects.insert(receiver.m_objects.end(), m_objects.begin(), m_objects.end());
    }

private:
    void RequireOwner() const
    {
        if (!m_bOwnsObjects)
            throw std::logic_error("CAutoObArray: the list does not own its objects");
    }

    std::vector<T*> m_objects;
    bool m_bOwnsObjects = true;
    bool m_bHandedOver = false;
};
