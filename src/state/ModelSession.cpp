#include "state/ModelSession.h"

#include "state/AppModel.h"

namespace lumi {

ModelSession::ModelSession(const AppModel& model, const QObject& part)
    : m_model(&model), m_part(&part), m_generation(model.generation())
{
}

bool ModelSession::isCurrent() const
{
    return m_model && m_part && m_model->generation() == m_generation;
}

bool ModelSession::isSignedIn() const
{
    return isCurrent() && m_model->account().isSignedIn();
}

} // namespace lumi
