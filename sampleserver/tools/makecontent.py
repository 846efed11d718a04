#!/usr/bin/env python3
"""Writes the sample publisher content: the category feeds and their pictures.

Run by hand (the results are committed):  /usr/bin/python3 sampleserver/tools/makecontent.py
Needs Debian's python3-pil and fonts-dejavu-core.
"""
import os
import random
from xml.sax.saxutils import escape
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "content", "rss.kurendal.pl")
FEEDS = os.path.join(ROOT, "pub", "mobi_lg", "out")
IMAGES = os.path.join(ROOT, "img")
HOST = "http://rss.kurendal.pl"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# (feed file, label, colour, articles: (title, lead, paragraphs, signature))
CATEGORIES = [
    ("kr_najwazniejsze.xml", "Najważniejsze", (196, 18, 48), [
        ('Rząd przyjął projekt budżetu na przyszły rok',
         'Deficyt ma spaść poniżej trzech procent PKB. Najwięcej pieniędzy trafi na ochronę zdrowia i obronność.',
         ['Rada Ministrów przyjęła we wtorek projekt ustawy budżetowej. Minister finansów zapowiedział, że dochody państwa wzrosną o blisko osiem procent.',
          'Opozycja zarzuca rządowi zbyt optymistyczne założenia dotyczące wzrostu gospodarczego. Projekt trafi do Sejmu jeszcze w tym miesiącu.'],
         'Anna Kowalczyk'),
        ('Sejm uchwalił ustawę "o ochronie lasów"',
         'Posłowie zdecydowali o ograniczeniu wycinki w najcenniejszych przyrodniczo drzewostanach.',
         ['Za ustawą głosowało 312 posłów. Nowe przepisy obejmą około dziesięciu procent powierzchni lasów państwowych.',
          'Leśnicy obawiają się spadku dostaw drewna, ekolodzy mówią o przełomie.'],
         'Piotr Wiśniewski'),
        ('Mróz wraca nad Polskę. Synoptycy ostrzegają kierowców',
         'W nocy temperatura spadnie nawet do minus piętnastu stopni. Na drogach może być ślisko.',
         ['Instytut Meteorologii wydał ostrzeżenia drugiego stopnia dla województw wschodnich.',
          'Drogowcy zapewniają, że sprzęt do odśnieżania jest gotowy do pracy przez całą dobę.'],
         'Marta Zielińska'),
        ('Nowa linia metra otwarta dla pasażerów',
         'Pierwsze pociągi ruszyły o piątej rano. Przejazd z Bemowa do centrum zajmie kwadrans.',
         ['Budowa odcinka trwała pięć lat i kosztowała ponad dwa miliardy złotych.',
          'W pierwszym tygodniu pasażerowie mogą pytać o drogę wolontariuszy w czerwonych kamizelkach.'],
         'Tomasz Nowak'),
        ('Lekarze rezydenci porozumieli się z ministrem zdrowia',
         'Po trzech tygodniach rozmów podpisano porozumienie w sprawie wynagrodzeń i czasu pracy.',
         ['Porozumienie zakłada stopniowy wzrost pensji przez najbliższe dwa lata.',
          'Protest głodowy w szpitalu klinicznym został zawieszony.'],
         'Katarzyna Lewandowska'),
    ]),
    ("kraj.xml", "Kraj", (40, 90, 160), [
        ('Gdańsk: tramwaj wodny popłynie także zimą',
         'Miasto przedłuża sezon żeglugi na Motławie. Bilety kosztują tyle, co za tramwaj.',
         ['Statek kursuje co godzinę między Długim Pobrzeżem a Westerplatte.',
          'Radni liczą, że zimowe rejsy przyciągną turystów w spokojniejszych miesiącach.'],
         'Jan Kamiński'),
        ('Kraków zamyka Stare Miasto dla samochodów spalinowych',
         'Strefa czystego transportu obejmie ścisłe centrum od pierwszego marca.',
         ['Mieszkańcy strefy otrzymają bezpłatne przepustki na pięć lat.',
          'Kupcy z Rynku obawiają się spadku obrotów, miasto obiecuje więcej parkingów przesiadkowych.'],
         'Ewa Wójcik'),
        ('Na Mazurach odnaleziono średniowieczną łódź',
         'Płetwonurkowie natrafili na wrak w jeziorze Śniardwy. Drewno przetrwało w mule ponad sześćset lat.',
         ['Archeolodzy z Olsztyna planują wydobycie łodzi wiosną.',
          'Znalezisko trafi do muzeum w Giżycku po konserwacji, która potrwa co najmniej trzy lata.'],
         'Paweł Kaczmarek'),
        ('Wrocław: rusza budżet obywatelski',
         'Mieszkańcy mogą zgłaszać projekty do końca miesiąca. Do podziału jest 25 mln zł.',
         ['W zeszłej edycji wygrały projekty parków kieszonkowych i ścieżek rowerowych.',
          'Głosowanie odbędzie się w czerwcu, także przez internet.'],
         'Agnieszka Mazur'),
        ('Pociąg z Rzeszowa do Przemyśla pojedzie szybciej',
         'Po modernizacji torów podróż skróci się o dwadzieścia minut.',
         ['Prace kosztowały 600 mln zł i objęły także przebudowę siedmiu stacji.',
          'Nowy rozkład jazdy zacznie obowiązywać w grudniu.'],
         'Michał Krawczyk'),
    ]),
    ("kr_swiat.xml", "Świat", (30, 120, 110), [
        ('Szczyt klimatyczny zakończony porozumieniem',
         'Delegaci z niemal dwustu państw zgodzili się na nowy fundusz dla krajów najbardziej zagrożonych.',
         ['Rozmowy przedłużyły się o dwie doby. Ostatecznie udało się uzgodnić tekst deklaracji końcowej.',
          'Organizacje ekologiczne uważają, że porozumienie jest zbyt ostrożne.'],
         'Robert Zając'),
        ('Wybory w Niemczech: chadecy na czele',
         'Według sondaży powyborczych partia kanclerza straciła kilka punktów procentowych.',
         ['Frekwencja przekroczyła siedemdziesiąt procent.',
          'Rozmowy koalicyjne mogą potrwać nawet kilka miesięcy.'],
         'Joanna Król'),
        ('Japonia: sonda dotarła do planetoidy',
         'Próbki skał wrócą na Ziemię za trzy lata.',
         ['Sonda wystartowała cztery lata temu i pokonała ponad trzysta milionów kilometrów.',
          'Naukowcy liczą, że próbki pomogą wyjaśnić pochodzenie wody na Ziemi.'],
         'Krzysztof Wieczorek'),
        ('Londyn: protest przeciwko podwyżkom cen biletów',
         'Tysiące osób przeszły ulicami miasta. Ceny biletów komunikacji wzrosną o sześć procent.',
         ['Burmistrz zapowiedział rozmowy ze związkami zawodowymi.',
          'Demonstracja przebiegła spokojnie.'],
         'Natalia Jabłońska'),
        ('Chile: silne trzęsienie ziemi bez ofiar',
         'Wstrząsy o sile 6,8 odczuto w stolicy. Ostrzeżenie przed tsunami odwołano po godzinie.',
         ['Budynki w Santiago przetrwały dzięki surowym normom budowlanym.',
          'W kilku miastach na północy zabrakło prądu.'],
         'Grzegorz Majewski'),
    ]),
    ("kr_sport.xml", "Sport", (30, 140, 60), [
        ('Polacy awansowali do finału mistrzostw Europy',
         'Siatkarze pokonali Włochów 3:1 w półfinale. W niedzielę zagrają o złoto.',
         ['Najlepszym zawodnikiem meczu wybrano atakującego reprezentacji.',
          'Trener zapowiedział, że w finale nie będzie rewolucji w składzie.'],
         'Łukasz Olszewski'),
        ('Skoki narciarskie: podium w Wiśle',
         'Polak zajął drugie miejsce w pierwszym konkursie Pucharu Świata.',
         ['Na skoczni pojawiło się dwadzieścia tysięcy kibiców.',
          'W sobotę zawodnicy wystartują w konkursie drużynowym.'],
         'Adam Pawlak'),
        ('Ekstraklasa: lider traci punkty',
         'Remis 1:1 po golu w doliczonym czasie gry. Przewaga lidera stopniała do dwóch punktów.',
         ['Goście grali w dziesiątkę od sześćdziesiątej minuty.',
          'Następna kolejka zostanie rozegrana w przyszły weekend.'],
         'Bartosz Michalski'),
        ('Maraton Warszawski z rekordem frekwencji',
         'Na starcie stanęło ponad dwanaście tysięcy biegaczy.',
         ['Zwycięzca pokonał trasę w czasie 2:09:41.',
          'Organizatorzy zebrali dwa miliony złotych na cele charytatywne.'],
         'Magdalena Górska'),
        ('Tenis: Polka w ćwierćfinale w Melbourne',
         'W dwóch setach pokonała rozstawioną z numerem ósmym rywalkę.',
         ['Mecz trwał godzinę i dwadzieścia minut.',
          'W kolejnej rundzie zmierzy się z mistrzynią olimpijską.'],
         'Kamil Sikora'),
    ]),
    ("gospodarka.xml", "Gospodarka", (150, 100, 20), [
        ('Inflacja spadła trzeci miesiąc z rzędu',
         'Ceny towarów i usług wzrosły w listopadzie o 3,1 proc. rok do roku.',
         ['Najbardziej potaniały paliwa, podrożała żywność.',
          'Ekonomiści spodziewają się obniżki stóp procentowych w przyszłym roku.'],
         'Monika Baran'),
        ('Złoty najmocniejszy od dwóch lat',
         'Za euro płacono w piątek 4,27 zł.',
         ['Analitycy wskazują na napływ kapitału zagranicznego.',
          'Eksporterzy zaczynają odczuwać skutki mocnej waluty.'],
         'Dariusz Szymański'),
        ('Polska fabryka baterii zatrudni tysiąc osób',
         'Inwestycja pod Wrocławiem ma ruszyć za dwa lata.',
         ['Zakład będzie produkował ogniwa do samochodów elektrycznych.',
          'Gmina przygotowuje osiedle mieszkań na wynajem dla pracowników.'],
         'Aleksandra Duda'),
        ('Sklepy przed świętami: ruch jak przed rokiem',
         'Handlowcy liczą na ostatni tydzień przed Wigilią.',
         ['Najchętniej kupujemy zabawki, książki i elektronikę.',
          'Coraz więcej prezentów zamawiamy przez internet.'],
         'Rafał Głowacki'),
        ('Ceny mieszkań w miastach wojewódzkich stabilne',
         'Po latach wzrostów rynek mieszkaniowy złapał oddech.',
         ['Najdrożej jest w Warszawie, najtaniej w Łodzi.',
          'Deweloperzy oferują rabaty i miejsca parkingowe w cenie.'],
         'Beata Wróbel'),
    ]),
    ("kr_komentarze.xml", "Komentarze", (90, 60, 140), [
        ('Budżet na miarę ambicji czy życzeń?',
         'Założenia rządu są śmiałe. Zbyt śmiałe, by w nie uwierzyć bez zastrzeżeń.',
         ['Każdy budżet jest deklaracją polityczną. Ten mówi wiele o nadziejach, mniej o ryzyku.',
          'Warto, by posłowie zadali pytania, zanim podniosą ręce.'],
         'Jerzy Pietrzak'),
        ('Miasto dla pieszych to miasto dla wszystkich',
         'Strefy czystego transportu budzą emocje, ale ich skutki widać po kilku latach.',
         ['Kto pamięta rynki zastawione samochodami, ten wie, o co toczy się spór.',
          'Handel nie umrze, jeśli do centrum będzie łatwo dojechać tramwajem.'],
         'Halina Adamczyk'),
        ('Lasy to nie tylko drewno',
         'Ustawa o ochronie lasów to dobry początek rozmowy, której brakowało od lat.',
         ['Las daje pracę, ale też wodę, cień i ciszę.',
          'Kompromis będzie trudny, ale jest możliwy.'],
         'Stanisław Dudek'),
        ('Sport uczy przegrywać',
         'Porażki reprezentacji bolą, ale bez nich nie byłoby wielkich zwycięstw.',
         ['Kibice wybaczają wiele, nie wybaczają braku serca.',
          'Tę drużynę można lubić bez względu na wynik.'],
         'Wojciech Zalewski'),
        ('Inflacja w odwrocie, portfele wciąż chude',
         'Statystyki poprawiają się szybciej niż nastroje.',
         ['Niższa inflacja nie oznacza niższych cen, tylko wolniejszy wzrost.',
          'Realne płace rosną, ale wiele rodzin wciąż odkłada zakupy.'],
         'Irena Makowska'),
    ]),
    ("kr_kultura.xml", "Kultura", (170, 40, 120), [
        ('Nagroda literacka dla debiutantki',
         'Powieść o dorastaniu w małym mieście nad Bugiem zachwyciła jury.',
         ['Autorka ma dwadzieścia sześć lat i pracuje jako nauczycielka.',
          'Książka zostanie przetłumaczona na angielski i niemiecki.'],
         'Zofia Jaworska'),
        ('Filharmonia Narodowa świętuje jubileusz',
         'Koncert galowy poprowadzi dyrygent z Wiednia.',
         ['W programie znalazły się utwory Moniuszki, Chopina i Szymanowskiego.',
          'Bilety rozeszły się w kilka godzin.'],
         'Henryk Witkowski'),
        ('Kino: polski film w konkursie festiwalu w Berlinie',
         'Dramat o rodzinie rybaków z Helu powalczy o Złotego Niedźwiedzia.',
         ['Zdjęcia kręcono przez dwie zimy na Półwyspie Helskim.',
          'Premiera kinowa w Polsce zaplanowana jest na marzec.'],
         'Dorota Walczak'),
        ('Muzeum Narodowe pokaże zaginiony obraz',
         'Płótno odnaleziono po siedemdziesięciu latach w prywatnej kolekcji.',
         ['Obraz wróci do kraju dzięki wieloletnim staraniom ministerstwa.',
          'Wystawa potrwa do końca kwietnia.'],
         'Marek Stępień'),
        ('Teatr w małych miejscowościach',
         'Aktorzy z Lublina ruszają w trasę po wsiach i miasteczkach regionu.',
         ['Spektakle odbędą się w remizach, szkołach i domach kultury.',
          'Wstęp będzie bezpłatny.'],
         'Elżbieta Chmielewska'),
    ]),
]


def font(size):
    return ImageFont.truetype(FONT, size)


def picture(path, w, h, colour, seed, caption=None):
    rnd = random.Random(seed)
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    top = tuple(min(255, c + 90) for c in colour)
    for y in range(h):
        t = y / max(1, h - 1)
        d.line([(0, y), (w, y)], fill=tuple(int(top[i] + (colour[i] - top[i]) * t) for i in range(3)))
    sun = rnd.randint(w // 6, w - w // 6)
    r = h // 7
    d.ellipse([sun - r, h // 5 - r, sun + r, h // 5 + r], fill=(255, 236, 170))
    for k in range(3):
        base = h * (0.55 + 0.12 * k)
        pts = [(0, h)]
        for x in range(0, w + 1, max(4, w // 12)):
            pts.append((x, base - rnd.randint(0, h // 6)))
        pts.append((w, h))
        shade = tuple(max(0, c - 50 - 30 * k) for c in colour)
        d.polygon(pts, fill=shade)
    if caption:
        f = font(max(10, h // 14))
        d.rectangle([0, h - h // 8, w, h], fill=(0, 0, 0))
        d.text((8, h - h // 8 + 2), caption, font=f, fill=(255, 255, 255))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "JPEG", quality=82)


def twice(text):
    """The feeds write their entities twice over, as the publisher's do."""
    return escape(escape(text, {'"': "&quot;", "'": "&apos;"}))


def article_xml(a, order):
    photos = ""
    if a["photos"]:
        photos = "<photos>" + "".join(
            "<photo><xx>%d</xx><url>%s</url><url2>%s</url2><signature>%s</signature><desc>%s</desc></photo>"
            % (p["xx"], p["url"], p["url"], twice(p["signature"]), twice(p["desc"])) for p in a["photos"]) + "</photos>"
    content = "".join("<p>%s</p>" % escape(p) for p in a["paragraphs"])
    return ("<artykul><xx>%d</xx><order>%d</order><date>%s</date><title>%s</title><link>%s</link>"
            "<lead>%s</lead><content>%s</content><signature>%s</signature><label>%s</label>"
            "<thumbnail>%s</thumbnail>%s</artykul>\n") % (
        a["xx"], order, a["date"], twice(a["title"]), a["link"], twice(a["lead"]), escape(content),
        twice(a["signature"]), twice(a["label"]), a["thumbnail"], photos)


def write_feed(name, articles):
    os.makedirs(FEEDS, exist_ok=True)
    with open(os.path.join(FEEDS, name), "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<iphonefeed>\n')
        for i, a in enumerate(articles):
            f.write(article_xml(a, i))
        f.write("</iphonefeed>\n")


def main():
    everything = []
    xx = 41000
    for ci, (feed, label, colour, items) in enumerate(CATEGORIES):
        built = []
        for ai, (title, lead, paragraphs, signature) in enumerate(items):
            xx += 7
            thumb = "img/thumb_%d.jpg" % xx
            picture(os.path.join(ROOT, thumb), 168, 156, colour, xx)
            photos = []
            count = (2, 3, 4, 0, 0)[ai % 5]
            for p in range(count):
                pxx = xx * 10 + p
                w, h = ((640, 427), (480, 640), (800, 450), (600, 600))[p % 4]
                rel = "img/photo_%d.jpg" % pxx
                picture(os.path.join(ROOT, rel), w, h, colour, pxx, "Fot. %s" % signature)
                photos.append({"xx": pxx, "url": "%s/%s" % (HOST, rel), "signature": "Fot. " + signature,
                               "desc": "%s — zdjęcie %d" % (title, p + 1)})
            built.append({
                "xx": xx, "date": "%02d-12-2026, %02d:%02d" % (6 - ai // 3, 14 - ai, (ci * 7 + ai * 11) % 60),
                "title": title, "link": "http://www.kurendal.pl/artykul/%d" % xx, "lead": lead,
                "paragraphs": paragraphs, "signature": signature, "label": label,
                "thumbnail": "%s/%s" % (HOST, thumb), "photos": photos})
        write_feed(feed, built)
        everything.append(built)
    # "Najnowsze" interleaves the newest of every category: more than thirty articles.
    newest = [a for row in zip(*everything) for a in row]
    write_feed("kr_najnowsze.xml", newest)


if __name__ == "__main__":
    main()
