// One excitation record of the dynamic response: a moving load, a nodal load or a
// prescribed motion, as read from the dynamic load file.
#pragma once

#include <string_view>
#include <vector>

class CPlaneFrame;

class CDynamicLoad {
public:
    enum Kind { kIgnored = 0, kMoving = 1, kNodal = 2, kPrescribed = 3 };

    explicit CDynamicLoad(const CPlaneFrame* owner) : m_owner(owner) {}

    // Reads one record line of the given kind (1, 2 or 3). A nodal load or prescribed motion
    // with a bad node or direction stays an ignored record (m_type 0). A prescribed motion
    // adds 2 to the run code of its equation in codes.
    void Parse(int kind, std::string_view line, std::vector<int>& codes);
    // Equation of a nodal load or prescribed motion (the master's for a slaved direction).
    int Equation() const;
    // Force value f(t) of a moving or nodal load: zero before the start time.
    double ForceAt(double t) const;
    // Prescribed displacement, velocity and acceleration at time t.
    void MotionAt(double t, double& d, double& v, double& a) const;
    // Adds this record's contribution at time t to F (all n equations).
    void AddLoad(double t, double* F) const;
    // A prescribed motion writes d(t) and v(t) of its equation into R (2 n doubles).
    void PrescribedState(double t, double* R) const;

    int m_type = 0;
    int m_node = 0;
    int m_dof = 0;
    double m_amplitude = 0;
    int m_harmonic = 0;
    double m_circFreq = 0;
    double m_phase = 0;
    double m_startTime = 0;
    double m_x0 = 0;
    double m_speed = 0;

private:
    void AddMovingLoad(double t, double* F) const;

    const CPlaneFrame* m_owner;
};
