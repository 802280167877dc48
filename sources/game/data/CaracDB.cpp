#include "CaracDB.h"

// Before the table's own start-up below: the load reads the mean throw
// geometry of "tavirelo.cfg", which this include makes ready first.
#include <TuningParameters.h>

#include "GameDataTable.h"

#include <CPhysicMgr.h>
#include <Platform.h>

#include <OgreMath.h>

#include <map>
#include <memory>

namespace {
const float kGravity = 9.81f;

std::map<std::string, std::unique_ptr<ThrowProfile>>& Profiles() {
    static std::map<std::string, std::unique_ptr<ThrowProfile>> profiles;
    return profiles;
}
}  // namespace

const char CaracDB::DEFAULT_PATH[] = "../../mediaDemo/Data/Carac_DB.csv";

void CaracDB::Init() {
    Release();
    Load();
}

void CaracDB::Load() { LoadFromFile(DEFAULT_PATH); }

float CaracDB::DistanceToSpeed(float distance, bool pointing) {
    const float angle = pointing ? ANGLE_POINTE_MOYEN : ANGLE_TIR_MOYEN;
    const float height = pointing ? HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE : HAUTEUR_BOULE_INITIALE_MOYENNE_TIR;
    return ComputeLaunchSpeed(distance, angle * Ogre::Math::fDeg2Rad, -height, kGravity);
}

std::string CaracDB::MakeKey(const std::string& bodyCode, const std::string& role, bool pointing) {
    std::string key = bodyCode + "_";
    if (!role.empty())
        key += role[0];
    key += pointing ? 'P' : 'T';
    return key;
}

bool CaracDB::LoadFromFile(const std::string& path) {
    TextTable table;
    if (!ReadGameDataTable("CaracDB::Load()", path, table))
        return false;
    auto& profiles = Profiles();
    for (size_t r = 1; r < table.size(); ++r) {
        const TextTableRow& row = table[r];
        if (row.size() < 9) {
            PlatLog("CaracDB::Load() => row %u (%s) has %u fields, 9 needed: skipped", unsigned(r),
                    row[0].c_str(), unsigned(row.size()));
            continue;
        }
        const std::string& key = row[0];
        const bool pointing = key.size() >= 5 && key[4] == 'P';
        std::unique_ptr<ThrowProfile>& slot = profiles[key];
        if (!slot)
            slot.reset(new ThrowProfile());
        ThrowProfile& profile = *slot;
        profile.mSpeed0 = DistanceToSpeed(StringToFloat(row[1]), pointing);
        profile.mSpeed1 = DistanceToSpeed(StringToFloat(row[2]), pointing);
        profile.mSpeed2 = DistanceToSpeed(StringToFloat(row[3]), pointing);
        profile.mSpeed3 = DistanceToSpeed(StringToFloat(row[4]), pointing);
        profile.mBalance = StringToInt(row[5]);
        profile.mEffects = StringToInt(row[6]);
        profile.mMental = StringToInt(row[7]);
        profile.mPhysique = StringToInt(row[8]);
    }
    return true;
}

void CaracDB::Release() { Profiles().clear(); }

const ThrowProfile* CaracDB::Find(const std::string& key) {
    auto& profiles = Profiles();
    auto it = profiles.find(key);
    return it == profiles.end() ? nullptr : it->second.get();
}

size_t CaracDB::GetCount() { return Profiles().size(); }

namespace {
// The table is there before the entry point, as the players' loader expects.
struct CaracDBStartup {
    CaracDBStartup() { CaracDB::Init(); }
    ~CaracDBStartup() { CaracDB::Release(); }
};
const CaracDBStartup sCaracDBStartup;
}  // namespace
