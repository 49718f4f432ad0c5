#include "ProgramUnderTest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

Desktop::Desktop()
{
    if (!m_bus.isValid())
        return;
    QFile::setPermissions(m_bus.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // As an installed host system leaves it: the server's window suffix in the registry.
    QFile registry(registryPath());
    if (registry.open(QIODevice::WriteOnly)) {
        registry.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon]\r\n"
                       "\"ViewerHandle\"=\"00000000\"\r\n");
    }
}

QString Desktop::registryPath() const
{
    return m_bus.filePath(QStringLiteral("registry.reg"));
}

Desktop::~Desktop()
{
    for (auto &process : m_processes) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

bool Desktop::isValid() const
{
    return m_bus.isValid() && !qEnvironmentVariableIsEmpty("DISPLAY");
}

QProcess *Desktop::start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TORVANE_BUS_DIR"), m_bus.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("TORVANE_REGISTRY"), registryPath());
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    process->waitForStarted(10000);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

QString Desktop::xdotool(const QStringList &arguments, int *exitCode) const
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
    if (exitCode != nullptr)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

quint64 Desktop::waitForWindow(const QString &title, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    while (!deadline.hasExpired()) {
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), pattern});
        if (!found.isEmpty())
            return found.split(QLatin1Char('\n')).first().toULongLong();
        QTest::qWait(50);
    }
    return 0;
}

bool Desktop::isWindowShown(const QString &title) const
{
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return !xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), pattern})
                .isEmpty();
}

void Desktop::focus(quint64 window) const
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
}

void Desktop::key(quint64 window, const QString &keys) const
{
    focus(window);
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("20")};
    arguments += keys.split(QLatin1Char(' '));
    xdotool(arguments);
}

void Desktop::click(quint64 window, int x, int y) const
{
    // No --sync: it would wait forever when the pointer is already there.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
             QString::number(window), QString::number(x), QString::number(y),
             QStringLiteral("click"), QStringLiteral("1")});
}

QImage Desktop::screenshot(quint64 window) const
{
    QProcess process;
    process.start(QStringLiteral("import"),
                  {QStringLiteral("-window"), QString::number(window), QStringLiteral("png:-")});
    process.waitForFinished(20000);
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}
