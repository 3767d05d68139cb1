// Taking every group and releasing every group gives the other programs'
// entries back: the extension keys afterwards equal those before, apart from
// the differences the design keeps, which are listed and asserted exactly.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "association_test_support.h"
#include "class_registry.h"
#include "integration/associations.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;

// What another program left on one extension.
enum OwnerKind {
    NoKey,
    TypeOnly,
    TypeAndContent,
    ContentWithoutType,  // a key without a default value
    TypeWithTemplateFile,
    TypeWithNullFile,
    TypeWithSubkey,
    KindCount,
};

struct PlantedOwner {
    std::string extension;
    OwnerKind kind;
};

// A small generator of our own, so that a seed gives the same plan everywhere.
class Plan {
public:
    explicit Plan(unsigned seed) : state_(seed) {}
    OwnerKind NextKind() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<OwnerKind>((state_ >> 16) % KindCount);
    }

private:
    unsigned state_;
};

void Plant(const PlantedOwner& owner) {
    const std::string& e = owner.extension;
    std::string type = "Other" + e;
    switch (owner.kind) {
    case NoKey: break;
    case TypeOnly: PutString(kClasses, e, "", type); break;
    case TypeAndContent:
        PutString(kClasses, e, "", type);
        PutString(kClasses, e, "Content Type", "application/x" + e);
        break;
    case ContentWithoutType: PutString(kClasses, e, "Content Type", "application/x" + e); break;
    case TypeWithTemplateFile:
        PutString(kClasses, e, "", type);
        PutString(kClasses, e + "\\ShellNew", "FileName", "C:\\Windows\\ShellNew\\template" + e);
        break;
    case TypeWithNullFile:
        PutString(kClasses, e, "", type);
        PutString(kClasses, e + "\\ShellNew", "NullFile", "");
        break;
    case TypeWithSubkey:
        PutString(kClasses, e, "", type);
        PutString(kClasses, e + "\\OpenWithProgids", type, "");
        PutString(kClasses, e + "\\PersistentHandler", "", "{00000000-0000-0000-0000-000000000000}");
        break;
    case KindCount: break;
    }
}

// The differences the design keeps after a full take and release.
std::set<std::string> KeptDifferences(const std::vector<PlantedOwner>& owners, bool shellNewIsData) {
    std::set<std::string> kept;
    for (const PlantedOwner& owner : owners) {
        const std::string& e = owner.extension;
        if (owner.kind == NoKey) continue;
        // The previous type is written back even when there was none.
        if (owner.kind == ContentWithoutType) kept.insert("+" + e + "|");
        bool newMenu = e == ".zip" || e == ".vok";
        if (newMenu) {
            bool hadShellNew = owner.kind == TypeWithTemplateFile || owner.kind == TypeWithNullFile;
            // The "Data" value stays, and with it the ShellNew key made for
            // our entry; without it that key goes again.
            if (shellNewIsData) {
                if (!hadShellNew) kept.insert("+" + e + "\\ShellNew");
                kept.insert("+" + e + "\\ShellNew|Data");
            }
        }
        // The volume extensions get the native format's previous type.
        if (e == ".vok" && owner.kind != ContentWithoutType) {
            bool content = owner.kind == TypeAndContent;
            for (const std::string& volume : VolumeExtensions()) {
                kept.insert("+" + volume);
                kept.insert("+" + volume + "|");
                if (content) kept.insert("+" + volume + "|Content Type");
            }
        }
    }
    return kept;
}

class AssociationRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { CleanAssociations(); }
    void TearDown() override { CleanAssociations(); }
};

TEST_F(AssociationRoundTrip, EveryGroupTakenAndReleasedGivesTheOwnersBack) {
    std::string shellNew = ExpectedShellNew();
    ASSERT_FALSE(shellNew.empty()) << "KELVON_EXPECT_SHELLNEW not set";
    std::vector<std::string> extensions = AllArchiveExtensions();
    std::vector<std::string> groupExtensions(extensions.begin(), extensions.begin() + 22);

    for (unsigned seed : {1u, 7u, 42u, 2024u, 31337u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CleanAssociations();
        Plan plan(seed);
        std::vector<PlantedOwner> owners;
        for (const std::string& extension : groupExtensions) owners.push_back({extension, plan.NextKind()});
        for (const PlantedOwner& owner : owners) Plant(owner);
        RegistrySnapshot before = TakeSnapshot(kClasses, extensions);

        IntegrationSettings all = {};
        for (int i = 0; i < 14; ++i) all.flag[i] = 1;
        all.flag[ShellIntegration] = 1;
        ApplyAssociations(all);
        for (const std::string& extension : groupExtensions) {
            EXPECT_TRUE(IsOwnAssociation(extension.c_str())) << extension;
        }
        // A second setup takes nothing new and records nothing.
        ApplyAssociations(all);
        ApplyAssociations(IntegrationSettings{});

        RegistrySnapshot after = TakeSnapshot(kClasses, extensions);
        EXPECT_EQ(KeptDifferences(owners, shellNew == "data"), SnapshotDifferences(before, after));
    }
}

}  // namespace
