// harovan-publish: builds the download site that Harovan's
// "当選番号データのダウンロード" command reads.

#include "publish/SitePublisher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("harovan-publish"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a download site for Harovan: SITE/gajo/list.xml and a copy of every data file of the "
                       "data folder that passes the schema. Files that fail are left out, with the reason."));
    parser.addHelpOption();
    const QCommandLineOption dataOption(QStringLiteral("data"),
        QStringLiteral("The data folder to publish (default: data beside this program)."), QStringLiteral("folder"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/data"));
    const QCommandLineOption urlOption(QStringLiteral("base-url"),
        QStringLiteral("The address the site is served at (default: the download server Harovan was built for)."),
        QStringLiteral("url"), QStringLiteral("http://" HAROVAN_DOWNLOAD_HOST));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("The list's title."),
        QStringLiteral("text"), QStringLiteral("Harovan 当選番号データ"));
    parser.addOptions({dataOption, urlOption, titleOption});
    parser.addPositionalArgument(QStringLiteral("site"), QStringLiteral("The folder to build the site in."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QString site = parser.positionalArguments().constFirst();
    const publish::Outcome outcome
        = publish::publishSite(parser.value(dataOption), site, parser.value(urlOption), parser.value(titleOption));
    for (const publish::Refusal &refusal : outcome.refused)
        err << "refused: " << refusal.fileName << ": " << refusal.reason << Qt::endl;
    if (!outcome.ok) {
        err << "error: " << outcome.error << Qt::endl;
        return 2;
    }
    for (const QString &name : outcome.published)
        out << "published: " << name << Qt::endl;
    out << "list: " << QDir::cleanPath(QDir(site).absoluteFilePath(publish::ListPath)) << " ("
        << outcome.published.size() << " files)" << Qt::endl;
    return outcome.refused.isEmpty() ? 0 : 1;
}
