#pragma once

#include <QPointer>

namespace lumi {

class AppModel;

/// The session an operation of a model part started in. Current while the part and the model live
/// and no sign-in or sign-out came between, so an answer of an ended session is dropped.
class ModelSession final
{
public:
    ModelSession(const AppModel& model, const QObject& part);

    bool isCurrent() const;
    /// Current and still signed in: picker answers arrive long after the dialog opened.
    bool isSignedIn() const;

private:
    QPointer<const AppModel> m_model;
    QPointer<const QObject> m_part;
    quint64 m_generation;
};

} // namespace lumi
