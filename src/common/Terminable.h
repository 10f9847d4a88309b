#pragma once

// Something that can be asked whether it has been told to stop.
class CTerminable {
public:
    virtual ~CTerminable() = default;
    virtual bool IsTerminated() const = 0;
};

// Answers for another CTerminable (the print thread), which is set before
// each run; false while none is set.
class CCanTerminate : public CTerminable {
public:
    bool IsTerminated() const override { return m_terminable && m_terminable->IsTerminated(); }
    void SetTerminable(const CTerminable* terminable) { m_terminable = terminable; }

private:
    const CTerminable* m_terminable = nullptr;
};
