#pragma once

#include <QObject>

#include <exception>

namespace lumi {

/// Where a view hands the failure of something the user asked for, so that the user learns of it.
/// The application model is the one sink; views take this instead of the whole model. A QObject,
/// so that work which outlives its view can tell whether the sink is still there.
class ErrorSink : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ErrorSink)

public:
    ~ErrorSink() override = default;

    /// Shows the failure to the user; never throws.
    virtual void handleActionError(std::exception_ptr error) = 0;

protected:
    explicit ErrorSink(QObject* parent = nullptr) : QObject(parent) {}
};

} // namespace lumi
