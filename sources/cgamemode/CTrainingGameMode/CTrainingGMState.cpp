#include "CTrainingGMState.h"

#include "CTrainingGameMode.h"

#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CTrainingGameMaster.h>
#include <CWrapOgreCamera.h>
#include <TestReport.h>

#include <OgreAxisAlignedBox.h>
#include <OgreCamera.h>
#include <OgreRay.h>

void CTrainingGMState::ChangeTo(int id) {
    if (mOwner)
        mOwner->GetMachine().ChangeState(id);
}

CTrainingGameMaster* CTrainingGMState::Referee() const {
    return mOwner ? mOwner->GetReferee() : nullptr;
}

void CTrainingGMState::ReportView(const char* label) const {
    CTrainingGameMaster* referee = Referee();
    if (!TestReportEnabled() || !referee)
        return;
    CKEMSceneCamera* node = CKEMSceneGraph::GetCurrentCamera();
    CWrapOgreCamera* wrap = node && node->GetCamera() ? node->GetCamera()->GetCamera() : nullptr;
    const Ogre::Camera* camera = wrap ? wrap->getCamera() : nullptr;
    if (!camera) {
        TestReport("%s none", label);
        return;
    }
    const Ogre::Vector3 focus = referee->GetCameraFocus();
    const Ogre::Vector3 seen = camera->getViewMatrix() * focus;
    const Ogre::Vector3 ndc = camera->getProjectionMatrix() * seen;
    bool hidden = false;
    if (CKEMSceneObject* body = CGameMaster::GetPlayerNode(referee->GetCurrentPlayer())) {
        if (body->IsVisible()) {
            body->UpdateBounds(false, false, false);
            const CKEMBoundingBox& box = body->GetAxisAlignedBox();
            const Ogre::Vector3 eye = camera->getDerivedPosition();
            const Ogre::Ray sight(eye, (focus - eye).normalisedCopy());
            const std::pair<bool, Ogre::Real> hit = sight.intersects(Ogre::AxisAlignedBox(box.min, box.max));
            hidden = hit.first && hit.second < eye.distance(focus);
        }
    }
    TestReport("%s %.4f %.4f ahead %d hidden %d", label, (ndc.x + 1.0f) * 0.5f, (1.0f - ndc.y) * 0.5f,
               seen.z < 0.0f ? 1 : 0, hidden ? 1 : 0);
}
