// generator: written next
