// The qualification screens: the pool matches of the four pools (each pool's
// winners on lines 1 to 4, its losers on lines 5 to 8, the first match in
// column A, the second in column B), and the same lines labelled qualified or
// eliminated once they are played.
#pragma once

#include "TournamentLines.h"

#include <string>

namespace CEGUI {
class EventArgs;
}

class CHUDQualification {
public:
    static const char kLayout[];   // "qualifications.layout"
    static const int kPoolCount = 4;

    CHUDQualification();
    ~CHUDQualification();
    CHUDQualification(const CHUDQualification&) = delete;
    CHUDQualification& operator=(const CHUDQualification&) = delete;

    // Pool 0 to 3; any other pool writes nothing. On the results screen an
    // unplayed match is a play-off still to come.
    void Fill(int pool, const PairingLines& lines);
    // Valid sound, then validated.
    bool OnValidClicked(const CEGUI::EventArgs& args);

    bool mValidated = false;

protected:
    // The layout and overlay; the screen's title key.
    CHUDQualification(const char* layout, const char* overlay, const char* title, bool labels);

private:
    bool mResults = false;
};

class CHUDQualificationResult : public CHUDQualification {
public:
    static const char kLayout[];   // "qualificationsResults.layout"

    CHUDQualificationResult();
};
