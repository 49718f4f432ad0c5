#include "WalkFixture.h"

#include "platform/Exception.h"
#include "translate/Lexaro2000.h"

#include <QBuffer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

void load(TLexaro2000 &engine, QByteArray file)
{
    QBuffer stream(&file);
    stream.open(QIODevice::ReadOnly);
    engine.LoadFromStream(stream);
}

QByteArrayList itlLines(const TLexaro2000 &engine)
{
    QByteArrayList lines;
    for (const std::string &line : engine.ItlLines())
        lines.append(QByteArray::fromStdString(line));
    return lines;
}

// A window with every kind of property the walk knows, its items and scale, and a few
// controls, one of them inside a frame.
struct Scene
{
    std::unique_ptr<TFixtureWindow> window = std::make_unique<TFixtureWindow>();
    TFixtureItem *first = nullptr;
    TFixtureItem *second = nullptr;
    QPushButton *exit = nullptr;
    QFrame *frame = nullptr;
    QLabel *nested = nullptr;
    QLabel *about = nullptr;
    TFixtureItem reference; // held by Buddy, owned by nobody in the window

    Scene()
    {
        window->setObjectName("LX_Window");
        window->setWindowTitle("LX_Title");
        window->setToolTip("LX_Tip");
        window->setCaption("LX_Cap");
        window->setLines({"LX_L1", "plain", "LX_L3"});
        window->setWideText("LX_Wide");
        window->setCount(7);
        window->setHint("LX_Hint");
        QFont font = window->font();
        font.setFamily("LX_Font");
        window->setFont(font);
        reference.setTitle("LX_Ref");
        window->setBuddy(&reference);

        first = window->Items()->Add<TFixtureItem>();
        first->setTitle("LX_I1");
        first->setNotes({"LX_N1", "LX_N2"});
        second = window->Items()->Add<TFixtureItem>();
        second->setTitle("LX_I2");
        window->Scale()->setCaption("LX_S1");
        window->Scale()->setScaleInscript("LX_S2");
        window->Scale()->setUserTickText("LX_S3");

        exit = new QPushButton("LX_Exit", window.get());
        frame = new QFrame(window.get());
        nested = new QLabel("LX_Nested", frame);
        about = new QLabel("LX_About", window.get());
        window->captionWrites = 0;
        window->linesWrites = 0;
    }
};

} // namespace

class TestTranslateWalk : public QObject
{
    Q_OBJECT

private slots:
    void walkOrderAndItlLines();
    void leftAlone();
    void markedText_data();
    void markedText();
    void unmarkedTextsAreNotWritten();
    void excludedWindowStillWalksControls();
    void walkingAgainChangesNothing();
    void translateObjectStaysOnTheObject();
    void collection();
};

void TestTranslateWalk::walkOrderAndItlLines()
{
    Scene scene;
    TLexaro2000 engine{std::string()};
    engine.setAutoCreateItlFile(true);
    QObjectList visited;
    engine.setOnTranslateObject([&](TLexaro2000 &, QObject *object, bool &doTranslate) {
        visited.append(object);
        QVERIFY(doTranslate);
    });
    engine.TranslateComponent(scene.window.get());

    QCOMPARE(itlLines(engine),
             (QByteArrayList{"[Title]=Title|$$", "[Tip]=Tip|$$", "[Cap]=Cap|$$", "[L3]=L3|$$",
                             "[L1]=L1|$$", "[I1]=I1|$$", "[N2]=N2|$$", "[N1]=N1|$$", "[I2]=I2|$$",
                             "[S1]=S1|$$", "[S2]=S2|$$", "[S3]=S3|$$", "[Hint]=Hint|$$",
                             "[Exit]=Exit|$$", "[Nested]=Nested|$$", "[About]=About|$$"}));
    // Items and the scale set are reached through their properties only, once each, although
    // every item refers back to its collection.
    QCOMPARE(visited,
             (QObjectList{scene.window.get(), scene.first, scene.second, scene.window->Scale(),
                          scene.exit, scene.frame, scene.nested, scene.about}));

    QCOMPARE(scene.window->windowTitle(), QString("Title"));
    QCOMPARE(scene.window->Caption(), QString("Cap"));
    QCOMPARE(scene.window->Lines(), (QStringList{"L1", "plain", "L3"}));
    QCOMPARE(scene.first->Notes(), (QStringList{"N1", "N2"}));
    QCOMPARE(scene.second->Title(), QString("I2"));
    QCOMPARE(scene.window->Scale()->UserTickText(), QString("S3"));
    QCOMPARE(scene.nested->text(), QString("Nested"));
    QCOMPARE(scene.window->captionWrites, 1);
    QCOMPARE(scene.window->linesWrites, 1);
}

void TestTranslateWalk::leftAlone()
{
    Scene scene;
    TLexaro2000 engine{std::string()};
    engine.TranslateComponent(scene.window.get());

    QCOMPARE(scene.window->objectName(), QString("LX_Window"));
    QCOMPARE(scene.window->Status(), QString("LX_Status"));
    QCOMPARE(scene.window->WideText(), QByteArray("LX_Wide"));
    QCOMPARE(scene.window->font().family(), QString("LX_Font"));
    QCOMPARE(scene.reference.Title(), QString("LX_Ref"));
    QCOMPARE(scene.window->Count(), 7);
    QCOMPARE(scene.window->Hint(), QString("Hint"));
}

void TestTranslateWalk::markedText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QByteArray exit("[exit]=Beenden|$$");
    QTest::newRow("found") << exit << "LX_Exit"
                           << "Beenden";
    QTest::newRow("found in any case") << exit << "LX_EXIT"
                                       << "Beenden";
    QTest::newRow("missing") << QByteArray() << "LX_Exit"
                             << "Exit";
    QTest::newRow("prefix case counts") << exit << "lx_Exit"
                                        << "lx_Exit";
    QTest::newRow("leading blank") << exit << " LX_Exit"
                                   << " LX_Exit";
    QTest::newRow("prefix only") << exit << "LX_"
                                 << "";
    QTest::newRow("prefix only, empty key") << QByteArray("[]=Leer|$$") << "LX_"
                                            << "Leer";
    QTest::newRow("umlaut value") << QByteArray("[exit]=Schlie\xDF"
                                                "en|$$")
                                  << "LX_Exit" << QString::fromUtf8("Schließen");
    QTest::newRow("umlaut key") << QByteArray("[gr\xF6\xDF"
                                              "e]=Size|$$")
                                << QString::fromUtf8("LX_größe") << "Size";
    QTest::newRow("euro sign") << QByteArray("[price]=5 \x80|$$") << "LX_Price"
                               << QString::fromUtf8("5 €");
    QTest::newRow("translation keeps prefix") << QByteArray("[a]=LX_b|$$") << "LX_a"
                                              << "LX_b";
}

void TestTranslateWalk::markedText()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TLexaro2000 engine{std::string()};
    load(engine, file);
    TFixtureWindow window;
    window.setCaption(text);
    auto *button = new QPushButton(text, &window);
    engine.TranslateComponent(&window);
    QCOMPARE(window.Caption(), expected);
    QCOMPARE(button->text(), expected);
}

void TestTranslateWalk::unmarkedTextsAreNotWritten()
{
    TLexaro2000 engine{std::string()};
    engine.setAutoCreateItlFile(true);
    TFixtureWindow window;
    window.setCaption(QString::fromUtf8("plain Ω"));
    window.setLines({"a", "lx_b"});
    window.captionWrites = 0;
    window.linesWrites = 0;
    engine.TranslateComponent(&window);
    QCOMPARE(window.captionWrites, 0);
    QCOMPARE(window.linesWrites, 0);
    QCOMPARE(window.Caption(), QString::fromUtf8("plain Ω"));
    QVERIFY(engine.ItlLines().empty());
}

void TestTranslateWalk::excludedWindowStillWalksControls()
{
    Scene scene;
    TLexaro2000 engine{std::string()};
    engine.setOnTranslateObject([&](TLexaro2000 &, QObject *object, bool &doTranslate) {
        doTranslate = object != scene.window.get();
    });
    engine.TranslateComponent(scene.window.get());
    QCOMPARE(scene.window->windowTitle(), QString("LX_Title"));
    QCOMPARE(scene.first->Title(), QString("LX_I1"));
    QCOMPARE(scene.exit->text(), QString("Exit"));
    QCOMPARE(scene.nested->text(), QString("Nested"));
}

void TestTranslateWalk::walkingAgainChangesNothing()
{
    Scene scene;
    TLexaro2000 engine{std::string()};
    load(engine, "[exit]=Beenden|$$");
    engine.setAutoCreateItlFile(true);
    engine.TranslateComponent(scene.window.get());
    const QByteArrayList lines = itlLines(engine);
    scene.window->captionWrites = 0;
    engine.TranslateComponent(scene.window.get());
    QCOMPARE(itlLines(engine), lines);
    QCOMPARE(scene.exit->text(), QString("Beenden"));
    QCOMPARE(scene.window->captionWrites, 0);
}

void TestTranslateWalk::translateObjectStaysOnTheObject()
{
    TLexaro2000 engine{std::string()};
    load(engine, "[s1]=Skala|$$");
    TScaleProps scale;
    scale.setCaption("LX_S1");
    scale.setScaleInscript("LX_S2");
    scale.setUserTickText("plain");
    auto *child = new TFixtureItem(&scale);
    child->setTitle("LX_Child");
    QSignalSpy changes(&scale, &TScaleProps::OnChange);
    engine.TranslateObject(&scale);
    QCOMPARE(scale.Caption(), QString("Skala"));
    QCOMPARE(scale.ScaleInscript(), QString("S2"));
    QCOMPARE(scale.UserTickText(), QString("plain"));
    QCOMPARE(changes.size(), 2); // written through the setters
    QCOMPARE(child->Title(), QString("LX_Child"));
}

void TestTranslateWalk::collection()
{
    platform::Collection items;
    auto *a = items.Add<TFixtureItem>();
    auto *b = items.Add(new TFixtureItem);
    auto *c = items.Add<TFixtureItem>();
    QCOMPARE(items.Count(), 3);
    QCOMPARE(b->parent(), &items);
    QCOMPARE(items.Items(1), b);

    delete b;
    QCOMPARE(items.Count(), 2);
    QCOMPARE(items.Items(1), c);

    platform::Collection other;
    other.Add(a);
    QCOMPARE(items.Count(), 1);
    QCOMPARE(items.Items(0), c);
    QCOMPARE(other.Items(0), a);

    QVERIFY_THROWS_EXCEPTION(platform::Exception, items.Items(1));
    QVERIFY_THROWS_EXCEPTION(platform::Exception, items.Items(-1));
    items.Delete(0);
    QCOMPARE(items.Count(), 0);
}

QTEST_MAIN(TestTranslateWalk)
#include "test_translate_walk.moc"
